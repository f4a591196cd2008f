#include "engine/Verification.h"

#include "engine/EngineError.h"
#include "engine/Xxh3.h"

#include <algorithm>

namespace veskard::engine {

class VerifyingOutput::Hash {
public:
    Hash() { form_.reset(state_); }
    void update(std::span<const std::byte> bytes) {
        form_.update(state_, bytes.data(), bytes.size());
    }
    std::uint64_t value() const { return form_.digest(state_); }

private:
    const xxh3::Functions& form_ = xxh3::functions();
    alignas(xxh3::StateAlignment) std::byte state_[xxh3::StateSize];
};

VerifyingOutput::VerifyingOutput(ByteOutput& target)
    : target_(target)
    , hash_(std::make_unique<Hash>()) {}

VerifyingOutput::~VerifyingOutput() = default;

std::error_code VerifyingOutput::write(std::span<const std::byte> bytes) {
    hash_->update(bytes);
    length_ += bytes.size();
    return target_.write(bytes);
}

std::error_code VerifyingOutput::verify(const ByteInput& written, std::span<std::byte> buffer,
                                        ProgressMeter& meter) const {
    if (written.size() != length_)
        return EngineError::VerificationFailed;
    Hash actual;
    for (std::uint64_t offset = 0; offset < length_;) {
        const std::span<std::byte> slice = buffer.first(
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length_ - offset)));
        if (const std::error_code error = written.readExactly(offset, slice))
            return error;
        actual.update(slice);
        offset += slice.size();
        if (const std::error_code error = meter.advance(slice.size()))
            return error;
    }
    if (actual.value() != hash_->value())
        return EngineError::VerificationFailed;
    return {};
}

} // namespace veskard::engine
