#include "platform/FileAttributes.h"

#include <cerrno>
#include <charconv>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>

// Read-only is the absence of every write permission bit. Hidden, system and
// archive live where Samba and Wine keep them, in the user.DOSATTRIB extended
// attribute as text ("0x22"), so a share or a Wine program sees the same flags.
namespace veskard::platform {
namespace {

constexpr const char* dosAttributeName = "user.DOSATTRIB";
constexpr std::uint32_t xattrBits = static_cast<std::uint32_t>(FileAttribute::Hidden) |
                                    static_cast<std::uint32_t>(FileAttribute::System) |
                                    static_cast<std::uint32_t>(FileAttribute::Archive);
constexpr mode_t writeBits = S_IWUSR | S_IWGRP | S_IWOTH;

std::error_code lastError() { return {errno, std::generic_category()}; }

bool unsupportedOrAbsent(int error) { return error == ENODATA || error == ENOTSUP; }

// Samba's older text form and Wine's: "0x" followed by hex digits, possibly
// NUL-terminated. Samba's newer binary blobs start with a version word and are
// not text; they are taken as carrying no flags we understand.
std::uint32_t parseDosAttribute(const char* text, std::size_t length) {
    if (length < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return 0;
    std::uint32_t value = 0;
    std::from_chars(text + 2, text + length, value, 16);
    return value & xattrBits;
}

std::error_code readDosBits(const std::filesystem::path& path, std::uint32_t& bits) {
    char text[64];
    const ssize_t length = ::getxattr(path.c_str(), dosAttributeName, text, sizeof text);
    if (length >= 0)
        bits = parseDosAttribute(text, static_cast<std::size_t>(length));
    else if (unsupportedOrAbsent(errno) || errno == ERANGE)
        bits = 0;
    else
        return lastError();
    return {};
}

std::error_code writeDosBits(const std::filesystem::path& path, std::uint32_t bits) {
    if (bits == 0) {
        if (::removexattr(path.c_str(), dosAttributeName) != 0 && !unsupportedOrAbsent(errno))
            return lastError();
        return {};
    }
    char text[16] = {'0', 'x'};
    const auto end = std::to_chars(text + 2, text + sizeof text, bits, 16).ptr;
    if (::setxattr(path.c_str(), dosAttributeName, text, static_cast<std::size_t>(end - text), 0) !=
        0)
        return lastError();
    return {};
}

std::error_code changeMode(const std::filesystem::path& path, mode_t mode) {
    if (::chmod(path.c_str(), mode) != 0)
        return lastError();
    return {};
}

} // namespace

Result<FileAttributes> readAttributes(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return lastError();
    std::uint32_t bits = 0;
    if (const std::error_code error = readDosBits(path, bits))
        return error;
    if ((info.st_mode & writeBits) == 0)
        bits |= static_cast<std::uint32_t>(FileAttribute::ReadOnly);
    return FileAttributes::fromBits(bits);
}

// Unprivileged users may change user.* attributes only of writable files, so a
// read-only file is made writable for as long as its flags are changed.
std::error_code writeAttributes(const std::filesystem::path& path, FileAttributes attributes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return lastError();
    std::uint32_t currentBits = 0;
    if (const std::error_code error = readDosBits(path, currentBits))
        return error;

    mode_t mode = info.st_mode & 07777;
    const bool isReadOnly = (mode & writeBits) == 0;
    const mode_t finalMode = attributes.has(FileAttribute::ReadOnly) ? (mode & ~writeBits)
                             : isReadOnly                            ? (mode | S_IWUSR)
                                                                     : mode;
    const std::uint32_t wantedBits = attributes.bits() & xattrBits;
    if (wantedBits != currentBits) {
        if (isReadOnly) {
            mode |= S_IWUSR;
            if (const std::error_code error = changeMode(path, mode))
                return error;
        }
        if (const std::error_code error = writeDosBits(path, wantedBits)) {
            if (mode != (info.st_mode & 07777))
                changeMode(path, info.st_mode & 07777);
            return error;
        }
    }
    if (finalMode != mode)
        return changeMode(path, finalMode);
    return {};
}

} // namespace veskard::platform
