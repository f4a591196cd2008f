#pragma once

#include <array>
#include <cstddef>
#include <mutex>

namespace veskard::engine {

// Uniform single-precision fractions in [0, 1), with 24 significant bits.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Starts afresh: what is drawn next does not follow from what was drawn before.
    virtual void reseed() = 0;
    virtual float next() = 0;
};

// The program's one random source: the system's cryptographic generator, so
// that no two program starts draw the same passwords or piece orders. Bytes
// are fetched a block at a time, which keeps a million draws fast; one source
// may serve several threads.
class SystemRandom final : public RandomSource {
public:
    void reseed() override;
    float next() override;

private:
    std::mutex mutex_;
    std::array<std::byte, 4096> block_{};
    std::size_t used_ = block_.size();
};

} // namespace veskard::engine
