#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace veskard::platform {

// The description of an error as the system words it, in UTF-8 whatever the
// system's own code page (Windows words its errors in the ANSI code page).
std::string describeError(std::error_code error);

// A path as the user reads it, in UTF-8. Never fails: what the system's name
// holds that UTF-8 cannot (half of a UTF-16 pair on Windows) is shown as U+FFFD.
std::string displayName(const std::filesystem::path& path);

} // namespace veskard::platform
