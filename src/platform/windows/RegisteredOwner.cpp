#include "platform/RegisteredOwner.h"

#include "platform/windows/Utf16.h"
#include "platform/windows/Win32.h"

#include <string>

namespace veskard::platform {
namespace {

// A text value of the registry, or the empty text when it is missing.
std::wstring registryText(HKEY root, const wchar_t* key, const wchar_t* value) {
    DWORD bytes = 0;
    if (::RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
        return {};
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) !=
        ERROR_SUCCESS)
        return {};
    if (const auto end = text.find(L'\0'); end != std::wstring::npos)
        text.resize(end);
    return text;
}

std::string ownerPart(const wchar_t* setupValue, const wchar_t* systemValue) {
    std::wstring text = registryText(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\MS Setup (ACME)\\User Info", setupValue);
    if (text.empty())
        text = registryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                            systemValue);
    return win32::toUtf8(text);
}

} // namespace

RegisteredOwner registeredOwner() {
    return {ownerPart(L"DefName", L"RegisteredOwner"),
            ownerPart(L"DefCompany", L"RegisteredOrganization")};
}

} // namespace veskard::platform
