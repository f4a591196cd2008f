#include "platform/CodePage.h"

#include "platform/CodePageBytes.h"

namespace veskard::platform {
namespace {

bool isSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// How many UTF-16 units the character at `at` takes: two for a surrogate
// pair, else one (a lone surrogate too, which no code page has).
std::size_t unitsOfCharacter(std::u16string_view text, std::size_t at) {
    const auto isHigh = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    return isHigh(text[at]) && at + 1 < text.size() && isLow(text[at + 1]) ? 2 : 1;
}

} // namespace

std::uint16_t toCodePage(char16_t unit) {
    if (unit < 0x80)
        return unit;
    // Half of a surrogate pair is no character of its own.
    if (isSurrogate(unit))
        return QuestionMarkCode;
    const std::string bytes = detail::unitToCodePageBytes(unit);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() == 1)
        return byte(0);
    if (bytes.size() == 2)
        return static_cast<std::uint16_t>(byte(0) << 8 | byte(1));
    return QuestionMarkCode;
}

char16_t fromCodePage(std::uint16_t code) {
    if (code < 0x80)
        return static_cast<char16_t>(code);
    std::string bytes;
    if (code > 0xFF)
        bytes.push_back(static_cast<char>(code >> 8));
    bytes.push_back(static_cast<char>(code & 0xFF));
    const std::optional<char16_t> unit = detail::codePageBytesToUnit(bytes);
    return unit && !isSurrogate(*unit) ? *unit : u'?';
}

CodePageText encodeInCodePage(std::u16string_view text, unsigned codePage) {
    CodePageText encoded;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t units = unitsOfCharacter(text, at);
        if (const std::optional<std::string> bytes =
                detail::characterToCodePage(text.substr(at, units), codePage)) {
            encoded.bytes += *bytes;
        } else {
            encoded.bytes += '?';
            encoded.exact = false;
        }
        at += units;
    }
    return encoded;
}

} // namespace veskard::platform
