#pragma once

#include "engine/ByteStreams.h"
#include "engine/ProgressMeter.h"

#include <cstdint>
#include <memory>
#include <span>

namespace veskard::engine {

// Passes bytes on and keeps their XXH3 hash, so that what is read back can be
// shown to be exactly what was written.
class VerifyingOutput final : public ByteOutput {
public:
    explicit VerifyingOutput(ByteOutput& target);
    ~VerifyingOutput() override;
    VerifyingOutput(const VerifyingOutput&) = delete;
    VerifyingOutput& operator=(const VerifyingOutput&) = delete;

    std::error_code write(std::span<const std::byte> bytes) override;

    // Reads all of `written` through `buffer`, counting it on `meter`; fails
    // with VerificationFailed unless it is exactly what passed through.
    std::error_code verify(const ByteInput& written, std::span<std::byte> buffer,
                           ProgressMeter& meter) const;

private:
    class Hash;
    ByteOutput& target_;
    std::unique_ptr<Hash> hash_;
    std::uint64_t length_ = 0;
};

} // namespace veskard::engine
