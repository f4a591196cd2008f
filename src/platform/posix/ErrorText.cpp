#include "platform/ErrorText.h"

namespace veskard::platform {

// The C library words its errors in the locale's language and character set,
// UTF-8 on any current system.
std::string describeError(std::error_code error) {
    return error.message();
}

// Names are bytes here, and UTF-8 by convention.
std::string displayName(const std::filesystem::path& path) {
    return path.native();
}

} // namespace veskard::platform
