#pragma once

#include "engine/ByteStreams.h"
#include "engine/ProgressMeter.h"
#include "engine/SliceStream.h"
#include "engine/StrongDecryption.h"
#include "engine/StrongFormat.h"
#include "engine/StrongKeys.h"
#include "engine/Xxh3.h"
#include "platform/Result.h"

#include <cstdint>

namespace veskard::engine {

// A lock's check of the strongly locked file it writes: each chunk is read
// back and authenticated as soon as it is whole on disk, while the next ones
// are still being encrypted, and its plain text hashed; once the file is
// complete, synced and read back, it must carry the header meant and give the
// plain text that was read. Any difference is VerificationFailed.
class StrongReadBack {
public:
    static Result<StrongReadBack> start(const StrongKeys& keys, const StrongHeader& intended,
                                        std::uint64_t fileSize);

    // After each slice written: `written` is the file so far. Counts the
    // plain bytes it checks on `meter`.
    std::error_code follow(const ByteInput& written, ProgressMeter& meter);
    // Once the whole file is written and read back: `plain` is what the plain
    // text read hashed to.
    std::error_code finish(const ByteInput& written, const Fingerprint& plain) const;

private:
    StrongReadBack(StrongDecryption decryption, const StrongHeader& intended)
        : decryption_(std::move(decryption))
        , intended_(intended) {}

    StrongDecryption decryption_;
    StrongHeader intended_;
    xxh3::Hash plainHash_;
    std::uint64_t plainSize_ = 0;
};

} // namespace veskard::engine
