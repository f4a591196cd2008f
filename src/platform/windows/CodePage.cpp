#include "platform/CodePage.h"
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

// UTF-8 and UTF-7 refuse both the no-best-fit flag and the used-default
// report; UTF-8 instead fails on a lone surrogate, its one character without
// bytes. UTF-7 has bytes for everything.
std::optional<std::string> characterToCodePage(std::u16string_view character, unsigned codePage) {
    const auto* units = reinterpret_cast<const wchar_t*>(character.data());
    const int count = static_cast<int>(character.size());
    char output[8];
    BOOL usedDefault = FALSE;
    const bool unicode = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS
                        : unicode           ? 0
                                            : WC_NO_BEST_FIT_CHARS;
    const int length = ::WideCharToMultiByte(codePage, flags, units, count, output, sizeof output,
                                             nullptr, unicode ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    return std::string(output, static_cast<std::size_t>(length));
}

} // namespace veskard::platform::detail

namespace veskard::platform {

unsigned consoleCodePage() {
    return ::GetOEMCP();
}

} // namespace veskard::platform
