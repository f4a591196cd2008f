#include "platform/CodePage.h"

#include "platform/CodePageBytes.h"

namespace veskard::platform {
namespace {

bool isSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

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

} // namespace veskard::platform
