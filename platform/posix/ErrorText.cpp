#include "platform/ErrorText.h"

namespace veskard::platform {

// The C library words its errors in the locale's character set, UTF-8 here.
std::string describeError(std::error_code error) { return error.message(); }

} // namespace veskard::platform
