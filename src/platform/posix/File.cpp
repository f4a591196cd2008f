#include "platform/File.h"

#include "platform/PlatformError.h"
#include "platform/posix/Descriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veskard::platform {
namespace {

using posix::lastError;

constexpr auto fd = posix::descriptorOf;

// A lock the file system cannot take is no refusal: the file is then held
// without it. NFS, for one, takes an exclusive flock() only on a descriptor
// open for writing (EBADF otherwise).
bool noLocksHere(int error) {
    return error == ENOLCK || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
           error == EBADF;
}

std::error_code lockFailure() {
    if (errno == EWOULDBLOCK || errno == EAGAIN || errno == EACCES)
        return PlatformError::HeldByAnotherProgram;
    return noLocksHere(errno) ? std::error_code{} : lastError();
}

// "Held by another program" here: a conflicting flock() or fcntl() lock of
// another process. Our own locks, taken here, keep out every program that
// asks for one until the descriptor is closed. The fcntl() lock is an open
// file description lock, so that it is ours alone and closing another
// descriptor of the file never drops it.
std::error_code lock(int descriptor, bool exclusive, bool writable) {
    if (::flock(descriptor, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (const std::error_code error = lockFailure())
            return error;
    }
    struct flock range {};
    range.l_whence = SEEK_SET; // l_start and l_len 0: the whole file, however long
    if (exclusive) {
        // A reader's fcntl() lock conflicts only with a write lock, which a
        // read-only descriptor cannot take: ask whether one could be taken.
        range.l_type = F_WRLCK;
        if (::fcntl(descriptor, F_OFD_GETLK, &range) == 0 && range.l_type != F_UNLCK)
            return PlatformError::HeldByAnotherProgram;
        range = {};
        range.l_whence = SEEK_SET;
    }
    range.l_type = exclusive && writable ? F_WRLCK : F_RDLCK;
    if (::fcntl(descriptor, F_OFD_SETLK, &range) != 0)
        return lockFailure();
    return {};
}

Result<FileState> stateOf(const struct stat& info) {
    if (!S_ISREG(info.st_mode))
        return PlatformError::NotRegularFile;
    const auto nanoseconds = [](const timespec& time) {
        return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
    };
    return FileState{static_cast<std::uint64_t>(info.st_dev),
                     static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::uint64_t>(info.st_nlink),
                     static_cast<std::uint64_t>(info.st_size),
                     nanoseconds(info.st_mtim),
                     nanoseconds(info.st_ctim)};
}

std::error_code makeBlocking(int descriptor) {
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return lastError();
    return {};
}

// A descriptor opened without blocking, made blocking once it is known to
// stand for a regular file (anything else is refused).
Result<posix::Descriptor> regularAndBlocking(posix::Descriptor descriptor) {
    if (!descriptor)
        return lastError();
    struct stat info {};
    if (::fstat(descriptor.get(), &info) != 0)
        return lastError();
    if (const Result<FileState> state = stateOf(info); !state)
        return state.error();
    if (const std::error_code error = makeBlocking(descriptor.get()))
        return error;
    return descriptor;
}

// Opens without blocking (a FIFO would wait for a writer) and without becoming
// anyone's terminal, and only what already is a regular file: opening a
// device may do something by itself.
Result<posix::Descriptor> openRegular(const std::filesystem::path& path, int access) {
    if (const Result<FileState> state = regularFileState(path); !state)
        return state.error();
    return regularAndBlocking(
        posix::Descriptor(::open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)));
}

// The file may have been replaced between opening and locking it (by another
// run of this program that held it, say): then the name stands for the newer
// file, which is opened afresh.
constexpr int OpenAttempts = 4;

Result<posix::Descriptor> openHeld(const std::filesystem::path& path, bool exclusive) {
    for (int attempt = 0; attempt < OpenAttempts; ++attempt) {
        bool writable = exclusive;
        Result<posix::Descriptor> descriptor = openRegular(path, exclusive ? O_RDWR : O_RDONLY);
        if (!descriptor && exclusive &&
            (descriptor.error() == std::errc::permission_denied ||
             descriptor.error() == std::errc::operation_not_permitted ||
             descriptor.error() == std::errc::read_only_file_system ||
             descriptor.error() == std::errc::text_file_busy)) {
            writable = false;
            descriptor = openRegular(path, O_RDONLY);
        }
        if (!descriptor)
            return descriptor.error();
        if (const std::error_code error = lock(descriptor->get(), exclusive, writable))
            return error;
        struct stat opened {};
        struct stat named {};
        if (::fstat(descriptor->get(), &opened) != 0)
            return lastError();
        if (::stat(path.c_str(), &named) != 0) {
            if (errno != ENOENT)
                return lastError();
        } else if (posix::isSameFile(named, opened)) {
            return std::move(*descriptor);
        }
    }
    return PlatformError::FileReplaced;
}

} // namespace

Result<FileState> regularFileState(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return lastError();
    return stateOf(info);
}

Result<File> File::openForReading(const std::filesystem::path& path) {
    Result<posix::Descriptor> descriptor = openHeld(path, false);
    if (!descriptor)
        return descriptor.error();
    return File(descriptor->release());
}

Result<File> File::openExclusive(const std::filesystem::path& path) {
    Result<posix::Descriptor> descriptor = openHeld(path, true);
    if (!descriptor)
        return descriptor.error();
    return File(descriptor->release());
}

Result<File> File::createNew(const std::filesystem::path& path) {
    const int descriptor =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return lastError();
    return File(descriptor);
}

// The name is opened as it is (O_NOFOLLOW) and the descriptor checked, so
// that nothing can be swapped in between a check and the open. Without
// blocking, a FIFO opens at once for reading, or is refused (ENXIO) for
// writing while nobody reads it.
Result<File> File::openProgramFile(const std::filesystem::path& path, ProgramFileAccess access) {
    int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    switch (access) {
    case ProgramFileAccess::Read:
        flags |= O_RDONLY;
        break;
    case ProgramFileAccess::ReadWrite:
        flags |= O_RDWR | O_CREAT;
        break;
    case ProgramFileAccess::Append:
        flags |= O_WRONLY | O_APPEND | O_CREAT;
        break;
    }
    posix::Descriptor descriptor(::open(path.c_str(), flags, 0666));
    if (!descriptor) {
        if (errno == ELOOP)
            return PlatformError::NotUsersOwnFile;
        if (errno == ENXIO)
            return PlatformError::NotRegularFile;
        return lastError();
    }
    struct stat info {};
    if (::fstat(descriptor.get(), &info) != 0)
        return lastError();
    if (!S_ISREG(info.st_mode))
        return PlatformError::NotRegularFile;
    if (info.st_uid != ::geteuid() || info.st_nlink != 1)
        return PlatformError::NotUsersOwnFile;
    if (const std::error_code error = makeBlocking(descriptor.get()))
        return error;
    return File(descriptor.release());
}

File::~File() {
    close();
}

Result<FileState> File::state() const {
    struct stat info {};
    if (::fstat(fd(handle_), &info) != 0)
        return lastError();
    return stateOf(info);
}

Result<std::uint64_t> File::size() const {
    const Result<FileState> current = state();
    if (!current)
        return current.error();
    return current->size;
}

Result<std::size_t> File::readAt(std::uint64_t offset, std::span<std::byte> buffer) const {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t count = ::pread(fd(handle_), buffer.data() + done, buffer.size() - done,
                                      static_cast<off_t>(offset + done));
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        if (count == 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    return done;
}

std::error_code File::writeAll(std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd(handle_), bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        bytes = bytes.subspan(static_cast<std::size_t>(count));
        written_ += static_cast<std::uint64_t>(count);
    }
    // Start write-back of each few megabytes while the next are being produced.
    // Only whole pages: writing into a page that is under write-back would
    // have to wait for the disk.
    constexpr std::uint64_t writeBackStep = 8 << 20;
    constexpr std::uint64_t pageSize = 4096;
    const std::uint64_t wholePages = written_ / pageSize * pageSize;
    if (wholePages - handedToDisk_ >= writeBackStep) {
        ::sync_file_range(fd(handle_), static_cast<off_t>(handedToDisk_),
                          static_cast<off_t>(wholePages - handedToDisk_), SYNC_FILE_RANGE_WRITE);
        handedToDisk_ = wholePages;
    }
    return {};
}

std::error_code File::truncate(std::uint64_t size) {
    if (::ftruncate(fd(handle_), static_cast<off_t>(size)) != 0)
        return lastError();
    return {};
}

std::error_code File::sync() {
    if (::fsync(fd(handle_)) != 0)
        return lastError();
    return {};
}

std::error_code File::close() {
    if (handle_ == invalidHandle)
        return {};
    const int result = ::close(fd(handle_));
    handle_ = invalidHandle;
    // After EINTR the descriptor is gone on Linux; retrying could close another one.
    if (result != 0 && errno != EINTR)
        return lastError();
    return {};
}

} // namespace veskard::platform
