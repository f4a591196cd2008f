#pragma once

// <windows.h> for the platform layer's Windows side, without the min and max
// macros that would break std::min and std::max, and without the rarely used
// parts that slow every build.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace veskard::platform::win32 {

// The error of the last failed call, as the system reports it.
inline std::error_code lastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// The name as the system's calls take it. One of MAX_PATH characters or more
// (less 12 for a folder, which must leave room for an 8.3 name) is reached
// only in its \\?\ form, whatever the manifest says, unless the machine's
// policy allows long names; the system takes that form as it is, so it is
// made full and clean here, as the system makes a shorter name.
std::wstring apiPath(const std::filesystem::path& path);

} // namespace veskard::platform::win32
