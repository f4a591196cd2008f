#include "platform/File.h"

#include "platform/PlatformError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veskard::platform {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

int fd(std::intptr_t handle) { return static_cast<int>(handle); }

// "Held by another program" on POSIX: another process holds a conflicting
// flock() or fcntl() lock. Our own flock() keeps later openers away while we
// work; filesystems without flock() support are not refused for it.
std::error_code lockOrRefuse(int descriptor, bool exclusive) {
    if (::flock(descriptor, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return PlatformError::HeldByAnotherProgram;
        if (errno != ENOLCK && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return lastError();
    }
    struct flock probe {};
    probe.l_type = exclusive ? F_WRLCK : F_RDLCK;
    probe.l_whence = SEEK_SET;
    if (::fcntl(descriptor, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        return PlatformError::HeldByAnotherProgram;
    return {};
}

Result<int> openLocked(const std::filesystem::path& path, bool exclusive) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return lastError();
    struct stat info {};
    std::error_code error;
    if (::fstat(descriptor, &info) != 0)
        error = lastError();
    else if (S_ISDIR(info.st_mode))
        error = std::make_error_code(std::errc::is_a_directory);
    else
        error = lockOrRefuse(descriptor, exclusive);
    if (error) {
        ::close(descriptor);
        return error;
    }
    return descriptor;
}

} // namespace

Result<File> File::openForReading(const std::filesystem::path& path) {
    Result<int> descriptor = openLocked(path, false);
    if (!descriptor)
        return descriptor.error();
    return File(*descriptor);
}

Result<File> File::openExclusive(const std::filesystem::path& path) {
    Result<int> descriptor = openLocked(path, true);
    if (!descriptor)
        return descriptor.error();
    return File(*descriptor);
}

Result<File> File::createNew(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return lastError();
    return File(descriptor);
}

File::~File() { close(); }

Result<std::uint64_t> File::size() const {
    struct stat info {};
    if (::fstat(fd(handle_), &info) != 0)
        return lastError();
    return static_cast<std::uint64_t>(info.st_size);
}

Result<std::int64_t> File::lastWriteTime() const {
    struct stat info {};
    if (::fstat(fd(handle_), &info) != 0)
        return lastError();
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
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
