#include "engine/StrongReadBack.h"

#include "engine/EngineError.h"

namespace veskard::engine {
namespace {

std::error_code asVerification(std::error_code error) {
    return error == EngineError::DamagedRecord ? make_error_code(EngineError::VerificationFailed)
                                               : error;
}

} // namespace

Result<StrongReadBack> StrongReadBack::start(const StrongKeys& keys, const StrongHeader& intended,
                                             std::uint64_t fileSize) {
    Result<StrongDecryption> decryption = StrongDecryption::start(keys, intended, fileSize);
    if (!decryption)
        return asVerification(decryption.error());
    return StrongReadBack(std::move(*decryption), intended);
}

std::error_code StrongReadBack::follow(const ByteInput& written, ProgressMeter& meter) {
    return asVerification(
        decryption_.decryptWholeChunks(written, [&](std::span<const std::byte> plain) {
            plainHash_.update(plain);
            plainSize_ += plain.size();
            return meter.advance(plain.size());
        }));
}

std::error_code StrongReadBack::finish(const ByteInput& written, const Fingerprint& plain) const {
    const Result<StrongHeader> header = readStrongHeader(written);
    if (!header || *header != intended_ || !decryption_.finished() ||
        Fingerprint{plainHash_.value(), plainSize_} != plain)
        return EngineError::VerificationFailed;
    return {};
}

} // namespace veskard::engine
