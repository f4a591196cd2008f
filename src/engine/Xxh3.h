#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// XXH3 (64 bits) from libxxhash-dev, built into the engine header-only. Its
// AVX2 form hashes about three times as fast as the SSE2 one every x86-64
// processor has, so both are built and the processor's best is chosen once.
namespace veskard::engine::xxh3 {

struct Functions {
    // Makes a fresh state in the room given (StateSize bytes, aligned to StateAlignment).
    void (*reset)(void* state);
    void (*update)(void* state, const void* bytes, std::size_t length);
    std::uint64_t (*digest)(const void* state);
};

// The form this processor runs best.
const Functions& functions();

// Room for XXH3's state, whichever form fills it.
inline constexpr std::size_t StateSize = 576;
inline constexpr std::size_t StateAlignment = 64;

// The hash of everything given to update() so far.
class Hash {
public:
    Hash() { form_.reset(state_); }
    void update(std::span<const std::byte> bytes) {
        form_.update(state_, bytes.data(), bytes.size());
    }
    std::uint64_t value() const { return form_.digest(state_); }

private:
    const Functions& form_ = functions();
    alignas(StateAlignment) std::byte state_[StateSize];
};

} // namespace veskard::engine::xxh3
