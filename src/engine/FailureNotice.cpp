#include "engine/FailureNotice.h"

#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "platform/PlatformError.h"

namespace veskard::engine {
namespace {

bool isRefusedAccess(std::error_code cause) {
    return cause == std::errc::permission_denied || cause == std::errc::operation_not_permitted ||
           cause == std::errc::read_only_file_system || cause == std::errc::is_a_directory ||
           cause == std::errc::not_a_directory;
}

std::optional<Notice> actionFailure(std::error_code cause) {
    if (cause == EngineError::DamagedRecord || cause == std::errc::not_enough_memory)
        return Messages::damagedOrNotEnciphered();
    if (isRefusedAccess(cause))
        return std::nullopt;
    return Messages::systemFailure(cause);
}

} // namespace

std::optional<Notice> failureNotice(JobPhase phase, std::error_code cause,
                                    const std::filesystem::path& file) {
    if (cause == std::errc::operation_canceled || cause == EngineError::NoTarget ||
        cause == EngineError::NothingLoaded)
        return std::nullopt;
    const bool held = cause == platform::PlatformError::HeldByAnotherProgram;
    switch (phase) {
    case JobPhase::Load:
        if (cause == EngineError::EmptyFile)
            return Messages::zeroSizeFile(file);
        if (cause == EngineError::FileTooSmall)
            return Messages::fileTooSmall();
        if (cause == EngineError::AlreadyEnciphered)
            return Messages::alreadyEnciphered();
        return std::nullopt; // the log shows where it stopped
    case JobPhase::Encipher:
        if (cause == EngineError::EmptyPassword)
            return Messages::emptyPassword();
        return held ? Messages::encryptHeld() : Messages::systemFailure(cause);
    case JobPhase::OpenEnciphered:
        if (cause == EngineError::EmptyFile)
            return Messages::noDataInFile(file);
        return held ? Messages::restoreHeld() : actionFailure(cause);
    case JobPhase::Restore:
        // A strong lock's chunks are checked only as they are decrypted.
        if (cause == EngineError::DamagedRecord)
            return Messages::damagedOrNotEnciphered();
        return held ? Messages::restoreHeld() : Messages::systemFailure(cause);
    case JobPhase::Action:
        break;
    }
    return actionFailure(cause);
}

} // namespace veskard::engine
