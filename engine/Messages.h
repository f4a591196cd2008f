#pragma once

#include "engine/Notice.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace veskard::engine {

// A path as the user reads it, in UTF-8.
std::string displayPath(const std::filesystem::path& path);

namespace Messages {

Notice zeroSizeFile(const std::filesystem::path& path);
Notice fileTooSmall();
Notice encryptWriteFailed();
Notice noDataInFile(const std::filesystem::path& path);
Notice damagedOrNotEnciphered();
Notice restoreWriteFailed();
// Any other failure: the system's own description of it.
Notice systemFailure(std::error_code error);

} // namespace Messages
} // namespace veskard::engine
