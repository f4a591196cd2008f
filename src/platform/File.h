#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace veskard::platform {

// What tells whether a file is still the one read earlier: which file it is,
// how many names it has, its size and its times.
struct FileState {
    std::uint64_t device = 0; // with `file`, which file this is (Windows: the
    std::uint64_t file = 0;   // volume's serial number and the file's index)
    std::uint64_t links = 1;  // names the file has (hard links)
    std::uint64_t size = 0;
    std::int64_t modified = 0; // nanoseconds since 1970
    std::int64_t changed = 0;  // last change of content or metadata, nanoseconds since 1970

    bool isSameFile(const FileState& other) const {
        return device == other.device && file == other.file;
    }
    // The same file with the same content, as far as size and time tell.
    bool isSameVersion(const FileState& other) const {
        return isSameFile(other) && size == other.size && modified == other.modified;
    }
    bool operator==(const FileState&) const = default;
};

// The state of the regular file `path` leads to, without opening it; anything
// else (a folder, a FIFO, a device) is PlatformError::NotRegularFile.
Result<FileState> regularFileState(const std::filesystem::path& path);

// How the program opens a file of its own (its settings, its report, the
// generator's saved passwords).
enum class ProgramFileAccess {
    Read,      // an existing file
    ReadWrite, // created empty when missing; writing starts at the first byte
    Append,    // created empty when missing; writing goes on at the end
};

// An open file of raw bytes. Closes itself; move-only.
//
// Opening never blocks and never opens anything but a regular file: a FIFO, a
// socket, a device or a folder is refused with PlatformError::NotRegularFile.
// A file another program holds in a conflicting way is refused with
// PlatformError::HeldByAnotherProgram; on POSIX that is a flock() or fcntl()
// lock, on Windows a share mode, and a program that takes no lock at all is
// not kept out. Once opened and held, the path is checked to still name the
// file opened (PlatformError::FileReplaced otherwise).
class File {
public:
    // Reads an existing file, sharing it only with other readers.
    static Result<File> openForReading(const std::filesystem::path& path);
    // Holds an existing file against every other program, so that it can be
    // replaced: on POSIX an exclusive flock() and an fcntl() lock, on a
    // descriptor open for writing where the file allows it (network file
    // systems lock only such); on Windows no sharing at all. Where the file
    // system has no locks, the file is held without them.
    static Result<File> openExclusive(const std::filesystem::path& path);
    // Creates a file that must not exist yet, open for reading and writing.
    static Result<File> createNew(const std::filesystem::path& path);
    // A file the program keeps for itself. Only the user's own regular file
    // with one name is taken: a symbolic link is not followed, so that nobody
    // can point the program at a file of its user's to write over, and a
    // file with other names (hard links) or of another user is refused
    // (PlatformError::NotUsersOwnFile); a FIFO, a socket or a device is
    // PlatformError::NotRegularFile. Never blocks and takes no lock.
    static Result<File> openProgramFile(const std::filesystem::path& path,
                                        ProgramFileAccess access);

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    Result<FileState> state() const;
    Result<std::uint64_t> size() const;
    // Reads up to buffer.size() bytes at offset; fewer only at the end of the
    // file. Several threads may read at once.
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const;
    // Writes after what was written before (from the start of the file),
    // whatever was read in between; all or an error. What is written goes to
    // the disk in the background as it accumulates, so that sync() has little
    // left to wait for.
    std::error_code writeAll(std::span<const std::byte> bytes);
    // Cuts the file to `size` bytes: what an append that failed halfway had added.
    std::error_code truncate(std::uint64_t size);
    // Makes what was written durable.
    std::error_code sync();
    // Closes now and reports what closing reports (a late write error, say).
    std::error_code close();

private:
    friend class Folder;
    friend class TemporaryFile;
    explicit File(std::intptr_t handle)
        : handle_(handle) {}
    static constexpr std::intptr_t invalidHandle = -1;
    std::intptr_t handle_ = invalidHandle;
    std::uint64_t written_ = 0;
    std::uint64_t handedToDisk_ = 0;
};

} // namespace veskard::platform
