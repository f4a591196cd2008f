#include "platform/CodePageBytes.h"

#include "platform/windows/Win32.h"

namespace veskard::platform::detail {
namespace {

constexpr UINT simplifiedChinese = 936;

} // namespace

// No best-fit mapping: a character the code page lacks becomes the question
// mark rather than a look-alike, as iconv does on POSIX.
std::string unitToCodePageBytes(char16_t unit) {
    const wchar_t input = unit;
    char output[4];
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(simplifiedChinese, WC_NO_BEST_FIT_CHARS, &input, 1,
                                             output, sizeof output, nullptr, &usedDefault);
    if (usedDefault || length <= 0)
        return {};
    return std::string(output, static_cast<std::size_t>(length));
}

std::optional<char16_t> codePageBytesToUnit(std::span<const char> bytes) {
    wchar_t output[2];
    const int length = ::MultiByteToWideChar(simplifiedChinese, MB_ERR_INVALID_CHARS, bytes.data(),
                                             static_cast<int>(bytes.size()), output, 2);
    if (length != 1)
        return std::nullopt;
    return static_cast<char16_t>(output[0]);
}

} // namespace veskard::platform::detail
