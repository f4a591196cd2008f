#include "platform/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veskard::platform {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

int fd(std::intptr_t handle) { return static_cast<int>(handle); }

} // namespace

Result<File> File::openForReading(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return lastError();
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
        const std::error_code error =
            S_ISDIR(info.st_mode) ? std::make_error_code(std::errc::is_a_directory) : lastError();
        ::close(descriptor);
        return error;
    }
    return File(descriptor);
}

Result<File> File::createNew(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return lastError();
    return File(descriptor);
}

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = invalidHandle; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = invalidHandle;
    }
    return *this;
}

File::~File() { close(); }

Result<std::uint64_t> File::size() const {
    struct stat info {};
    if (::fstat(fd(handle_), &info) != 0)
        return lastError();
    return static_cast<std::uint64_t>(info.st_size);
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
