#pragma once

#include "platform/File.h"
#include "platform/Result.h"

#include <cstdint>
#include <filesystem>
#include <utility>

namespace veskard::platform {

// What a new file is for. POSIX lets whoever may read a program also run it;
// Windows runs files by their extension.
enum class NewFileKind { Data, Program };

// A folder this program has just made, held open, so that what it writes
// there lands in that folder whatever happens to its name: another user who
// may write to the parent and renames the folder away, or puts a link in its
// place, gets nothing written through the link. Closes itself; move-only.
class Folder {
public:
    // Makes the folder `path` in an existing parent. Any entry of that name,
    // a dangling link among them, is std::errc::file_exists, and is left
    // alone. The name must then still stand for the folder made, never
    // followed through a link: a folder of the running user's, empty on POSIX
    // and no reparse point (junction or link) on Windows. Otherwise it is
    // PlatformError::FolderReplaced. On Windows the folder is held so that
    // nobody can move or replace it while it is open.
    static Result<Folder> createNew(const std::filesystem::path& path);

    Folder(Folder&& other) noexcept
        : handle_(std::exchange(other.handle_, invalidHandle))
        , path_(std::move(other.path_)) {}
    Folder& operator=(Folder&&) = delete;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    // A new file `name` in the folder, open for writing: never an existing
    // file, nor one a link leads to. Its mode is what a new file gets (POSIX:
    // 0666 less the umask), execution added for a program.
    Result<File> createNewFile(const std::filesystem::path& name,
                               NewFileKind kind = NewFileKind::Data);
    // Removes the file `name` from the folder: what a failed write left.
    std::error_code removeFile(const std::filesystem::path& name);

private:
    static constexpr std::intptr_t invalidHandle = -1;
    Folder(std::intptr_t handle, std::filesystem::path path)
        : handle_(handle)
        , path_(std::move(path)) {}
    std::intptr_t handle_ = invalidHandle; // POSIX: a descriptor; Windows: a HANDLE
    std::filesystem::path path_;           // Windows has no openat(): its files are named in full
};

} // namespace veskard::platform
