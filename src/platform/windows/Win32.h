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

#include <system_error>

namespace veskard::platform::win32 {

// The error of the last failed call, as the system reports it.
inline std::error_code lastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

} // namespace veskard::platform::win32
