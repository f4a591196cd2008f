#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace veskard::engine {

// One entry per UTF-16 code unit of the password: the unit's code in the
// Chinese double-byte code page, in upper-case hexadecimal without leading
// zeros (a double-byte code gives four digits, lead byte first). A unit the
// code page cannot hold is stored as the question mark's code. Fails for an
// empty password and for one of more than 65535 units, which no record holds.
Result<std::vector<std::string>> encodePassword(std::u16string_view password);

// The password back from its codes. Each entry must be one to four hex digits.
std::u16string decodePassword(const std::vector<std::string>& passCodes);

// Whether `code` is an entry that decodePassword accepts.
bool isValidPassCode(std::string_view code);

} // namespace veskard::engine
