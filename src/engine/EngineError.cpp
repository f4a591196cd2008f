#include "engine/EngineError.h"

#include "texts/Texts.h"

#include <string>

namespace veskard::engine {
namespace {

class EngineCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "veskard-engine"; }
    std::string message(int value) const override {
        switch (static_cast<EngineError>(value)) {
        case EngineError::DamagedRecord:
            return texts::engine::damagedOrNotEnciphered;
        case EngineError::EmptyPassword:
            return texts::engine::emptyPassword;
        case EngineError::PasswordTooLong:
            return texts::engine::passwordTooLong;
        case EngineError::UnstorablePassword:
            return texts::engine::passwordNotStorable;
        case EngineError::EmptyFile:
            return texts::engine::emptyFile;
        case EngineError::FileTooSmall:
            return texts::engine::fileTooSmall;
        case EngineError::AlreadyEnciphered:
            return texts::engine::alreadyEnciphered;
        case EngineError::FileTooLarge:
            return texts::engine::fileTooLarge;
        case EngineError::UnexpectedEnd:
            return texts::engine::fileShorterThanRecord;
        case EngineError::VerificationFailed:
            return texts::engine::readBackDiffers;
        case EngineError::SourceChanged:
            return texts::engine::changedByAnotherProgram;
        case EngineError::HasOtherNames:
            return texts::engine::hardLinked;
        case EngineError::NoTarget:
            return texts::engine::noTarget;
        case EngineError::NothingLoaded:
            return texts::engine::noFileLoaded;
        case EngineError::StrongPasswordTooLong:
            return texts::engine::strongPasswordTooLong;
        }
        return "unknown engine error";
    }
};

} // namespace

const std::error_category& engineCategory() {
    static const EngineCategory category;
    return category;
}

} // namespace veskard::engine
