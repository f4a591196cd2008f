#include "platform/ErrorText.h"

#include "platform/windows/Utf16.h"
#include "platform/windows/Win32.h"

namespace veskard::platform {

std::string describeError(std::error_code error) {
    if (error.category() != std::system_category())
        return error.message();
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error.value()), 0, reinterpret_cast<wchar_t*>(&text), 0,
        nullptr);
    if (length == 0 || text == nullptr)
        return error.message();
    std::wstring wide(text, length);
    ::LocalFree(text);
    // The system ends its texts with a line break, which a message does not want.
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' '))
        wide.pop_back();
    return win32::toUtf8(wide);
}

std::string displayName(const std::filesystem::path& path) {
    return win32::toUtf8(path.native());
}

} // namespace veskard::platform
