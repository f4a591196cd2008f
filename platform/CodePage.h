#pragma once

#include <cstdint>

namespace veskard::platform {

// The Simplified-Chinese double-byte code page (936, GBK).
// A single-byte character has a code 0..255; a double-byte one has
// lead byte * 256 + trail byte. Anything the code page cannot represent is
// taken as the question mark.
inline constexpr std::uint16_t QuestionMarkCode = 63;

std::uint16_t toCodePage(char16_t unit);

// The character of a code, or the question mark when the code names none.
char16_t fromCodePage(std::uint16_t code);

} // namespace veskard::platform
