#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// What each system provides for the code page: conversions of one UTF-16 unit
// to its bytes and back. The rules around them (ASCII, surrogates, the
// question mark) are shared, in CodePage.cpp.
namespace veskard::platform::detail {

// The bytes of `unit` in code page 936: one or two, or none when the code page
// has no such character.
std::string unitToCodePageBytes(char16_t unit);

// The one UTF-16 unit that one or two code-page bytes stand for, if any.
std::optional<char16_t> codePageBytesToUnit(std::span<const char> bytes);

// The bytes of one character (one UTF-16 unit, or a surrogate pair) in any
// code page, named by its Windows number; none when it has no bytes there of
// its own (no best-fit look-alike), or the code page is unknown.
std::optional<std::string> characterToCodePage(std::u16string_view character, unsigned codePage);

} // namespace veskard::platform::detail
