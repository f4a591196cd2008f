#include "platform/TemporaryFile.h"

#include "platform/windows/Win32.h"

#include <iterator>
#include <random>
#include <string>

namespace veskard::platform {
namespace {

std::wstring randomSuffix() {
    static constexpr wchar_t letters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::wstring suffix(8, L'x');
    for (wchar_t& c : suffix)
        c = letters[device() % (std::size(letters) - 1)];
    return suffix;
}

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

Result<TemporaryFile> TemporaryFile::createBeside(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.parent_path();
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::filesystem::path path =
            folder / (target.filename().wstring() + L"." + randomSuffix() + L".tmp");
        Result<File> file = File::createNew(path);
        if (file)
            return TemporaryFile(std::move(*file), std::move(path));
        if (file.error() != std::errc::file_exists)
            return file.error();
    }
    return std::make_error_code(std::errc::file_exists);
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : file_(std::move(other.file_))
    , path_(std::move(other.path_))
    , committed_(other.committed_) {
    other.committed_ = true;
}

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
