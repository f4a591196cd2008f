#pragma once

#include "engine/RandomSource.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>

namespace veskard::fuzz {

// A random source that gives the same draws for the same seed, so that a
// failing fuzz input replays exactly. Each reseed moves on to the next seed.
class SeededRandom final : public engine::RandomSource {
public:
    explicit SeededRandom(std::uint32_t seed)
        : seed_(seed)
        , engine_(seed) {}
    void reseed() override { engine_.seed(++seed_); }
    // 24 random bits fill a float's mantissa, so the value stays below 1.
    float next() override { return static_cast<float>(engine_() >> 8) * 0x1.0p-24f; }

private:
    std::uint32_t seed_;
    std::mt19937 engine_;
};

// FNV-1a: a stable seed from any bytes.
inline std::uint32_t hashBytes(std::span<const std::byte> bytes) {
    std::uint32_t hash = 2166136261u;
    for (const std::byte b : bytes)
        hash = (hash ^ static_cast<std::uint32_t>(b)) * 16777619u;
    return hash;
}

} // namespace veskard::fuzz
