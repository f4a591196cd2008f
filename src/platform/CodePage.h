#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veskard::platform {

// The Simplified-Chinese double-byte code page (936, GBK).
// A single-byte character has a code 0..255; a double-byte one has
// lead byte * 256 + trail byte. Anything the code page cannot represent is
// taken as the question mark.
inline constexpr std::uint16_t QuestionMarkCode = 63;

std::uint16_t toCodePage(char16_t unit);

// The character of a code, or the question mark when the code names none.
char16_t fromCodePage(std::uint16_t code);

// Text in any code page, named by its Windows number (437, 850, 936, 1252,
// 65001 for UTF-8, ...), with whether every character had bytes of its own
// there. One that had none (or an unknown code page) is the question mark,
// never a look-alike: no best-fit mapping.
struct CodePageText {
    std::string bytes;
    bool exact = true;
};
CodePageText encodeInCodePage(std::u16string_view text, unsigned codePage);

// The code page the command interpreter reads batch files in: on Windows the
// system's OEM code page (936 on Chinese systems, 437 or 850 on many others).
// Elsewhere no batch file is run; there it is that of the Chinese systems.
unsigned consoleCodePage();

} // namespace veskard::platform
