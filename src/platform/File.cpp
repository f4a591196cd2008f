#include "platform/File.h"

#include <utility>

namespace veskard::platform {

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, invalidHandle))
    , written_(other.written_)
    , handedToDisk_(other.handedToDisk_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, invalidHandle);
        written_ = other.written_;
        handedToDisk_ = other.handedToDisk_;
    }
    return *this;
}

} // namespace veskard::platform
