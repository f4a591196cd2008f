#pragma once

#include <cstdint>
#include <random>

namespace veskard::engine {

// Uniform single-precision fractions in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Starts a new sequence from the clock.
    virtual void reseed() = 0;
    virtual float next() = 0;
};

// The program's random source: the same fixed state at every start, a fresh
// state from the clock after each reseed.
class ClockSeededRandom final : public RandomSource {
public:
    void reseed() override;
    float next() override;

private:
    std::mt19937 engine_{20061u};
};

} // namespace veskard::engine
