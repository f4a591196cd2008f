#include "engine/Checksum.h"

#include "engine/EngineError.h"

#include <algorithm>
#include <cstring>

namespace veskard::engine {
namespace {

constexpr std::uint64_t Prime1 = 0x9E3779B185EBCA87u;
constexpr std::uint64_t Prime2 = 0xC2B2AE3D27D4EB4Fu;

std::uint64_t rotate(std::uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

std::uint64_t loadWord(const std::byte* bytes) {
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i)
        word |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return word;
}

} // namespace

void Checksum::mixStripe(const std::byte* stripe) {
    // Four independent lanes keep the multiplier busy: one word each per stripe.
    for (std::size_t lane = 0; lane < 4; ++lane)
        lanes_[lane] = rotate(lanes_[lane] + loadWord(stripe + 8 * lane) * Prime2, 31) * Prime1;
    length_ += StripeSize;
}

void Checksum::update(std::span<const std::byte> bytes) {
    if (pendingLength_ != 0) {
        const std::size_t take = std::min(bytes.size(), StripeSize - pendingLength_);
        std::memcpy(pending_.data() + pendingLength_, bytes.data(), take);
        pendingLength_ += take;
        bytes = bytes.subspan(take);
        if (pendingLength_ < StripeSize)
            return;
        mixStripe(pending_.data());
        pendingLength_ = 0;
    }
    while (bytes.size() >= StripeSize) {
        mixStripe(bytes.data());
        bytes = bytes.subspan(StripeSize);
    }
    std::memcpy(pending_.data(), bytes.data(), bytes.size());
    pendingLength_ = bytes.size();
}

std::uint64_t Checksum::value() const {
    std::uint64_t result = length_ + pendingLength_;
    for (const std::uint64_t lane : lanes_)
        result = rotate(result ^ lane, 27) * Prime1 + Prime2;
    for (std::size_t i = 0; i < pendingLength_; ++i)
        result = rotate(result ^ static_cast<std::uint64_t>(pending_[i]), 11) * Prime1;
    return result;
}

std::error_code ChecksummingOutput::write(std::span<const std::byte> bytes) {
    checksum_.update(bytes);
    return target_.write(bytes);
}

std::error_code verifyContent(const ByteInput& input, const Checksum& expected,
                              std::span<std::byte> buffer) {
    Checksum actual;
    for (std::uint64_t offset = 0; offset < input.size();) {
        const std::size_t chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), input.size() - offset));
        if (const std::error_code error = input.readExactly(offset, buffer.first(chunk)))
            return error;
        actual.update(buffer.first(chunk));
        offset += chunk;
    }
    if (actual.value() != expected.value())
        return EngineError::VerificationFailed;
    return {};
}

} // namespace veskard::engine
