#include "platform/CodePage.h"

#include "platform/windows/Win32.h"

namespace veskard::platform {
namespace {

constexpr UINT simplifiedChinese = 936;

bool isSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

} // namespace

// No best-fit mapping: a character the code page lacks becomes the question
// mark rather than a look-alike, as iconv does on POSIX.
std::uint16_t toCodePage(char16_t unit) {
    if (unit < 0x80)
        return unit;
    if (isSurrogate(unit))
        return QuestionMarkCode;
    const wchar_t input = unit;
    unsigned char output[4];
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(simplifiedChinese, WC_NO_BEST_FIT_CHARS, &input, 1,
                                             reinterpret_cast<char*>(output), sizeof output,
                                             nullptr, &usedDefault);
    if (usedDefault)
        return QuestionMarkCode;
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
    int inputLength = 0;
    if (code > 0xFF)
        input[inputLength++] = static_cast<char>(code >> 8);
    input[inputLength++] = static_cast<char>(code & 0xFF);
    wchar_t output[2];
    const int length = ::MultiByteToWideChar(simplifiedChinese, MB_ERR_INVALID_CHARS, input,
                                             inputLength, output, 2);
    if (length != 1)
        return u'?';
    const char16_t unit = static_cast<char16_t>(output[0]);
    return isSurrogate(unit) ? u'?' : unit;
}

} // namespace veskard::platform
