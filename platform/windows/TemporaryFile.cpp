#include "platform/TemporaryFile.h"

#include "platform/windows/Win32.h"


namespace veskard::platform {
namespace {

// Moves the temporary file over the target. A read-only target refuses to be
// replaced, so it loses the flag for the move and gets it back if the move
// fails. Write-through makes the rename durable before this returns.
std::error_code moveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    const DWORD targetAttributes = ::GetFileAttributesW(to.c_str());
    const bool readOnlyTarget =
        targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY);
    if (readOnlyTarget &&
        !::SetFileAttributesW(to.c_str(), targetAttributes & ~FILE_ATTRIBUTE_READONLY))
        return win32::lastError();
    if (!::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const std::error_code error = win32::lastError();
        if (readOnlyTarget)
            ::SetFileAttributesW(to.c_str(), targetAttributes);
        return error;
    }
    return {};
}

} // namespace

TemporaryFile::~TemporaryFile() {
    if (committed_)
        return;
    file_.close();
    // The temporary file may already carry the read-only flag from a failed commit.
    ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path_.c_str());
}

// The replacement takes its folder's inherited permissions: carrying an
// in-place target's own access list over is not done on Windows.
std::error_code TemporaryFile::commit(const std::filesystem::path& target,
                                      const Replacement& replacement) {
    if (const std::error_code error = file_.sync())
        return error;
    if (const std::error_code error = file_.close())
        return error;
    if (const std::error_code error = writeAttributes(path_, replacement.attributes))
        return error;
    if (const std::error_code error = moveOver(path_, target))
        return error;
    committed_ = true;
    return {};
}

} // namespace veskard::platform
