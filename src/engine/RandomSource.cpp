#include "engine/RandomSource.h"

#include "platform/SystemRandom.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace veskard::engine {

void SystemRandom::reseed() {
    const std::lock_guard lock(mutex_);
    used_ = block_.size();
}

float SystemRandom::next() {
    const std::lock_guard lock(mutex_);
    if (used_ + sizeof(std::uint32_t) > block_.size()) {
        // Without the system's generator no draw could be trusted; every
        // supported system has one.
        if (platform::fillWithSystemRandom(block_))
            std::abort();
        used_ = 0;
    }
    std::uint32_t bits = 0;
    std::memcpy(&bits, block_.data() + used_, sizeof bits);
    used_ += sizeof bits;
    // 24 random bits fill a float's mantissa exactly, so the value is never 1.
    return static_cast<float>(bits >> 8) * 0x1.0p-24f;
}

} // namespace veskard::engine
