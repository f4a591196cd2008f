#pragma once

#include "engine/ByteStreams.h"
#include "engine/SliceStream.h"
#include "engine/Sodium.h"
#include "engine/StrongFormat.h"
#include "engine/StrongKeys.h"
#include "engine/Xxh3.h"
#include "platform/Result.h"

#include <cstdint>
#include <span>
#include <vector>

namespace veskard::engine {

struct StreamState;

// A strongly locked file made of a plain one, slice after slice: the header,
// then each chunk encrypted as it is reached. The plain file is read once, in
// order, and hashed on the way, so that the file written can be checked
// against it. Memory: one chunk of each, whatever the file's size.
class StrongEncryption {
public:
    // Starts the stream, its header drawn from libsodium's randomness, and
    // makes the file's header for `keys`, which came from `cost` and `salt`.
    static Result<StrongEncryption> start(const StrongKeys& keys, const KeyCost& cost,
                                          const Salt& salt, std::uint64_t plainSize,
                                          std::uint32_t chunkSize = DefaultChunkSize);

    const StrongHeader& header() const { return header_; }
    // The locked file's size.
    std::uint64_t size() const { return strongFileSize(plainSize_, header_.chunkSize); }

    // Fills `slice` with the locked file from `offset` on, reading `plain`.
    // Slices come in order, each where the one before ended.
    std::error_code fill(const ByteInput& plain, std::uint64_t offset, std::span<std::byte> slice);
    // What the plain bytes read so far hash to.
    Fingerprint plainFingerprint() const { return {plainHash_.value(), plainRead_}; }

private:
    StrongEncryption(Secret<StreamState> stream, const StrongHeader& header,
                     std::uint64_t plainSize);
    std::error_code encryptNextChunk(const ByteInput& plain);

    Secret<StreamState> stream_;
    StrongHeader header_;
    std::uint64_t plainSize_;
    std::uint64_t plainRead_ = 0;
    std::uint64_t produced_ = 0;
    xxh3::Hash plainHash_;
    std::vector<std::byte> plain_;
    // What is made and not yet handed out: the header first, then a chunk.
    std::vector<std::byte> made_;
    std::size_t handedOut_ = 0;
};

} // namespace veskard::engine
