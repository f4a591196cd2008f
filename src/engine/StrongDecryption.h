#pragma once

#include "engine/ByteStreams.h"
#include "engine/Sodium.h"
#include "engine/StrongFormat.h"
#include "engine/StrongKeys.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace veskard::engine {

struct StreamState;

// The plain content of a strongly locked file, slice after slice: each chunk
// read, authenticated and decrypted as it is reached. A chunk that fails its
// check, or a tag out of place (FINAL before the last chunk, or none on it),
// is DamagedRecord. Memory: one chunk of each, whatever the file's size.
class StrongDecryption {
public:
    // For a file of `fileSize` bytes whose header `keys` open.
    static Result<StrongDecryption> start(const StrongKeys& keys, const StrongHeader& header,
                                          std::uint64_t fileSize);

    std::uint64_t plainSize() const { return plainSize_; }

    // Fills `slice` with the plain content from `offset` on, reading
    // `locked`. Slices come in order, each where the one before ended; the
    // one that reaches the end (an empty one, for an empty content) reads
    // every chunk that is left, so that a stream cut short is found.
    std::error_code fill(const ByteInput& locked, std::uint64_t offset, std::span<std::byte> slice);

    // Decrypts in order every chunk not decrypted yet that lies whole within
    // `locked` as far as it goes, handing each one's plain bytes to `take`:
    // for reading a file back while it is written. fill() and this do not mix.
    using PlainUse = std::function<std::error_code(std::span<const std::byte> plain)>;
    std::error_code decryptWholeChunks(const ByteInput& locked, const PlainUse& take);
    // Whether the last chunk is decrypted.
    bool finished() const { return finished_; }

private:
    StrongDecryption(Secret<StreamState> stream, const StrongHeader& header, std::uint64_t fileSize,
                     std::uint64_t plainSize);
    std::error_code decryptNextChunk(const ByteInput& locked);

    Secret<StreamState> stream_;
    StrongHeader header_;
    std::uint64_t fileSize_;
    std::uint64_t plainSize_;
    std::uint64_t lockedRead_ = StrongHeaderSize;
    std::uint64_t produced_ = 0;
    bool finished_ = false;
    std::vector<std::byte> locked_;
    // The last chunk's plain bytes, and how many of them are handed out.
    std::vector<std::byte> plain_;
    std::size_t handedOut_ = 0;
};

} // namespace veskard::engine
