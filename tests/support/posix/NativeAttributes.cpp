#include "support/NativeAttributes.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace veskard::test::native {
namespace {

constexpr const char* dosAttributeName = "user.DOSATTRIB";
constexpr mode_t writeBits = S_IWUSR | S_IWGRP | S_IWOTH;

mode_t modeOf(const std::filesystem::path& file) {
    struct stat info {};
    ::stat(file.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace

// Read as Wine reads it: hexadecimal after "0x", anything else counts as none.
std::uint32_t attributeWord(const std::filesystem::path& file) {
    char text[64] = {};
    const ssize_t length = ::getxattr(file.c_str(), dosAttributeName, text, sizeof text - 1);
    std::uint32_t word = 0;
    if (length > 2 && text[0] == '0' && text[1] == 'x')
        word = static_cast<std::uint32_t>(std::strtoul(text + 2, nullptr, 16));
    if ((modeOf(file) & writeBits) == 0)
        word |= static_cast<std::uint32_t>(platform::FileAttribute::ReadOnly);
    return word;
}

// Written as Samba writes it: the text with its terminating NUL. Only a
// writable file's user attributes may be changed, so read-only comes last.
void storeAttributeWord(const std::filesystem::path& file, std::uint32_t word) {
    const std::uint32_t readOnly = static_cast<std::uint32_t>(platform::FileAttribute::ReadOnly);
    const mode_t mode = modeOf(file) | S_IWUSR;
    ::chmod(file.c_str(), mode);
    char text[16];
    const int length = std::snprintf(text, sizeof text, "0x%x", word & ~readOnly);
    ::setxattr(file.c_str(), dosAttributeName, text, static_cast<std::size_t>(length) + 1, 0);
    if (word & readOnly)
        ::chmod(file.c_str(), mode & ~writeBits);
}

platform::FileAttributes asStored(platform::FileAttributes attributes) {
    return attributes;
}

} // namespace veskard::test::native
