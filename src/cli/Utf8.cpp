#include "cli/Utf8.h"

namespace veskard::cli {
namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The sequence length a lead byte announces, and the smallest code point that
// length may carry (anything below is an overlong form); 0 for an invalid lead.
struct Lead {
    int length;
    char32_t smallest;
    char32_t bits;
};

Lead leadOf(unsigned char byte) {
    if (byte < 0x80)
        return {1, 0, byte};
    if ((byte & 0xE0) == 0xC0)
        return {2, 0x80, byte & 0x1Fu};
    if ((byte & 0xF0) == 0xE0)
        return {3, 0x800, byte & 0x0Fu};
    if ((byte & 0xF8) == 0xF0)
        return {4, 0x10000, byte & 0x07u};
    return {0, 0, 0};
}

void appendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

} // namespace

std::optional<std::u16string> utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const Lead lead = leadOf(static_cast<unsigned char>(text[i]));
        if (lead.length == 0 || text.size() - i < static_cast<std::size_t>(lead.length))
            return std::nullopt;
        char32_t code = lead.bits;
        for (int k = 1; k < lead.length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if (!isContinuation(byte))
                return std::nullopt;
            code = (code << 6) | (byte & 0x3Fu);
        }
        if (code < lead.smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        appendUtf16(out, code);
        i += static_cast<std::size_t>(lead.length);
    }
    return out;
}

} // namespace veskard::cli
