#pragma once

#include <cerrno>
#include <cstdint>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

// What the POSIX side of the platform layer shares: the error of the last
// failed call, descriptors, and whether two stat() results are one file.
namespace veskard::platform::posix {

inline std::error_code lastError() {
    return {errno, std::generic_category()};
}

// The descriptor a platform File keeps as its handle.
inline int descriptorOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

inline bool isSameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd)
        : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept
        : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = other.release();
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }

    explicit operator bool() const { return fd_ >= 0; }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

} // namespace veskard::platform::posix
