#include "platform/SystemRandom.h"

#include <cerrno>
#include <sys/random.h>

namespace veskard::platform {

std::error_code fillWithSystemRandom(std::span<std::byte> bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::getrandom(bytes.data(), bytes.size(), 0);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return {errno, std::generic_category()};
        }
        bytes = bytes.subspan(static_cast<std::size_t>(count));
    }
    return {};
}

} // namespace veskard::platform
