#pragma once

#include <string>
#include <system_error>

namespace veskard::platform {

// The description of an error as the system words it, in UTF-8 whatever the
// system's own code page (Windows words its errors in the ANSI code page).
std::string describeError(std::error_code error);

} // namespace veskard::platform
