#include "platform/FileAttributes.h"

#include "platform/windows/Win32.h"

// The attribute bits of this interface are the Windows ones, so they pass
// through unchanged; bits of other meanings (directory, compressed, ...) are
// dropped on reading and cleared on writing.
namespace veskard::platform {

Result<FileAttributes> readAttributes(const std::filesystem::path& path) {
    const DWORD bits = ::GetFileAttributesW(win32::apiPath(path).c_str());
    if (bits == INVALID_FILE_ATTRIBUTES)
        return win32::lastError();
    return FileAttributes::fromBits(bits);
}

std::error_code writeAttributes(const std::filesystem::path& path, FileAttributes attributes) {
    // Zero is not an attribute word; "none of them" is spelled NORMAL.
    const DWORD bits = attributes.none() ? FILE_ATTRIBUTE_NORMAL : attributes.bits();
    if (!::SetFileAttributesW(win32::apiPath(path).c_str(), bits))
        return win32::lastError();
    return {};
}

} // namespace veskard::platform
