#include "engine/FailureClass.h"

#include "engine/EngineError.h"
#include "engine/Messages.h"

namespace veskard::engine {

std::optional<Notice> classifyFailure(std::error_code error) {
    if (error == EngineError::DamagedRecord || error == std::errc::not_enough_memory)
        return Messages::damagedOrNotEnciphered();
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
        error == std::errc::read_only_file_system || error == std::errc::is_a_directory ||
        error == std::errc::not_a_directory)
        return std::nullopt;
    return Messages::systemFailure(error);
}

} // namespace veskard::engine
