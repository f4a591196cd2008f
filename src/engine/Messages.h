#pragma once

#include "engine/Notice.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

// Every text the engine shows the user, exactly (trailing blanks included).
namespace veskard::engine::Messages {

Notice zeroSizeFile(const std::filesystem::path& path);
Notice fileTooSmall();
Notice alreadyEnciphered();
Notice emptyPassword();
// Another program holds the file being locked, or being unlocked.
Notice encryptHeld();
Notice restoreHeld();
Notice noDataInFile(const std::filesystem::path& path);
Notice damagedOrNotEnciphered();
// Any other failure: its description, as the system or the engine words it.
Notice systemFailure(std::error_code error);

// Warnings of a step that succeeded.
Notice bytesNotRestored(std::uint64_t count);
Notice failedAfterReplacing(std::error_code error);

} // namespace veskard::engine::Messages
