#pragma once

#include "engine/ByteStreams.h"

#include <array>
#include <cstdint>
#include <span>

namespace veskard::engine {

// A fast 64-bit checksum of a byte stream, to prove that what was read back
// from disk is exactly what was written. Not cryptographic.
class Checksum {
public:
    void update(std::span<const std::byte> bytes);
    // Depends on every byte and on the total length.
    std::uint64_t value() const;

private:
    static constexpr std::size_t StripeSize = 32;
    void mixStripe(const std::byte* stripe);
    std::array<std::uint64_t, 4> lanes_{0x9E3779B97F4A7C15u, 0xC2B2AE3D27D4EB4Fu,
                                        0x165667B19E3779F9u, 0x27D4EB2F165667C5u};
    std::array<std::byte, StripeSize> pending_{};
    std::size_t pendingLength_ = 0;
    std::uint64_t length_ = 0;
};

// Passes bytes on and keeps their checksum.
class ChecksummingOutput final : public ByteOutput {
public:
    explicit ChecksummingOutput(ByteOutput& target) : target_(target) {}
    std::error_code write(std::span<const std::byte> bytes) override;
    const Checksum& checksum() const { return checksum_; }

private:
    ByteOutput& target_;
    Checksum checksum_;
};

// Reads all of `input`; fails with VerificationFailed unless its checksum is `expected`.
std::error_code verifyContent(const ByteInput& input, const Checksum& expected,
                              std::span<std::byte> buffer);

} // namespace veskard::engine
