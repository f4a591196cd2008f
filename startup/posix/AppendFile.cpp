#include "startup/AppendFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veskard::startup {
namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

int fd(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

Result<AppendFile> AppendFile::open(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return lastError();
    AppendFile file(descriptor);
    struct stat info {};
    if (::fstat(descriptor, &info) != 0)
        return lastError();
    file.size_ = static_cast<std::uint64_t>(info.st_size);
    return file;
}

AppendFile::AppendFile(AppendFile&& other) noexcept
    : handle_(std::exchange(other.handle_, invalidHandle))
    , size_(other.size_) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, invalidHandle);
        size_ = other.size_;
    }
    return *this;
}

AppendFile::~AppendFile() {
    close();
}

std::error_code AppendFile::append(std::span<const std::byte> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(fd(handle_), bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            const std::error_code error =
                count < 0 ? lastError() : std::make_error_code(std::errc::io_error);
            // Should cutting off fail as well, the write's error is still the one to report.
            if (done > 0)
                static_cast<void>(::ftruncate(fd(handle_), static_cast<off_t>(size_)) == 0);
            return error;
        }
        done += static_cast<std::size_t>(count);
    }
    size_ += done;
    return {};
}

std::error_code AppendFile::close() {
    if (handle_ == invalidHandle)
        return {};
    const int result = ::close(fd(std::exchange(handle_, invalidHandle)));
    return result != 0 ? lastError() : std::error_code{};
}

} // namespace veskard::startup
