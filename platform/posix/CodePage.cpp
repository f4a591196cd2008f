#include "platform/CodePage.h"

#include <iconv.h>
#include <string_view>

// glibc's CP936 is the Windows code page 936 table (GBK with the euro sign at 0x80).
namespace veskard::platform {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(::iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            ::iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; returns the number of output bytes, or -1 when
    // any part of the input has no equivalent.
    int convert(std::string_view input, char* output, std::size_t capacity) {
        if (!valid())
            return -1;
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* out = output;
        std::size_t outLeft = capacity;
        if (::iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0)
            return -1;
        // Flush any shift state; the code page has none, but iconv asks for it.
        if (::iconv(handle_, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1))
            return -1;
        return static_cast<int>(capacity - outLeft);
    }

private:
    iconv_t handle_;
};

bool isSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

} // namespace

std::uint16_t toCodePage(char16_t unit) {
    if (unit < 0x80)
        return unit;
    if (isSurrogate(unit))
        return QuestionMarkCode;
    const char input[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    unsigned char output[8];
    Converter converter("CP936", "UTF-16LE");
    const int length =
        converter.convert({input, 2}, reinterpret_cast<char*>(output), sizeof output);
    if (length == 1)
        return output[0];
    if (length == 2)
        return static_cast<std::uint16_t>(output[0] << 8 | output[1]);
    return QuestionMarkCode;
}

char16_t fromCodePage(std::uint16_t code) {
    if (code < 0x80)
        return static_cast<char16_t>(code);
    char input[2];
    std::size_t inputLength = 0;
    if (code > 0xFF)
        input[inputLength++] = static_cast<char>(code >> 8);
    input[inputLength++] = static_cast<char>(code & 0xFF);
    unsigned char output[8];
    Converter converter("UTF-16LE", "CP936");
    const int length =
        converter.convert({input, inputLength}, reinterpret_cast<char*>(output), sizeof output);
    if (length != 2)
        return u'?';
    const char16_t unit = static_cast<char16_t>(output[0] | output[1] << 8);
    return isSurrogate(unit) ? u'?' : unit;
}

} // namespace veskard::platform
