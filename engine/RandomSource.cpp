#include "engine/RandomSource.h"

#include <chrono>

namespace veskard::engine {

void ClockSeededRandom::reseed() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::random_device device;
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32),
                       device()};
    engine_.seed(seed);
}

float ClockSeededRandom::next() {
    // 24 random bits fill a float's mantissa exactly, so the value is never 1.
    return static_cast<float>(engine_() >> 8) * 0x1.0p-24f;
}

} // namespace veskard::engine
