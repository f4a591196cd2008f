#pragma once

#include <system_error>

namespace veskard::platform {

enum class PlatformError {
    HeldByAnotherProgram = 1, // another program has the file open without sharing it
};

const std::error_category& platformCategory();

inline std::error_code make_error_code(PlatformError error) {
    return {static_cast<int>(error), platformCategory()};
}

} // namespace veskard::platform

template <> struct std::is_error_code_enum<veskard::platform::PlatformError> : std::true_type {};
