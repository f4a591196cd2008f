#include "support/NativeAttributes.h"

#include "platform/windows/Win32.h"

namespace veskard::test::native {
namespace {

bool underWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

} // namespace

std::uint32_t attributeWord(const std::filesystem::path& file) {
    return ::GetFileAttributesW(file.c_str());
}

void storeAttributeWord(const std::filesystem::path& file, std::uint32_t word) {
    ::SetFileAttributesW(file.c_str(), word);
}

platform::FileAttributes asStored(platform::FileAttributes attributes) {
    return underWine() ? attributes | platform::FileAttribute::Archive : attributes;
}

} // namespace veskard::test::native
