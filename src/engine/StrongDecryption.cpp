#include "engine/StrongDecryption.h"

#include "engine/EngineError.h"
#include "engine/SecretStream.h"

#include <algorithm>

namespace veskard::engine {

Result<StrongDecryption> StrongDecryption::start(const StrongKeys& keys, const StrongHeader& header,
                                                 std::uint64_t fileSize) {
    const std::optional<std::uint64_t> plainSize = strongPlainSize(fileSize, header.chunkSize);
    if (!plainSize || !keys.open(header))
        return EngineError::DamagedRecord;
    Result<Secret<StreamState>> stream = Secret<StreamState>::make();
    if (!stream)
        return stream.error();
    if (crypto_secretstream_xchacha20poly1305_init_pull(
            &(*stream)->state, reinterpret_cast<const unsigned char*>(header.streamHeader.data()),
            keys.streamKey().data()) != 0)
        return EngineError::DamagedRecord;
    return StrongDecryption(std::move(*stream), header, fileSize, *plainSize);
}

StrongDecryption::StrongDecryption(Secret<StreamState> stream, const StrongHeader& header,
                                   std::uint64_t fileSize, std::uint64_t plainSize)
    : stream_(std::move(stream))
    , header_(header)
    , fileSize_(fileSize)
    , plainSize_(plainSize)
    , locked_(
          std::min<std::uint64_t>(header.chunkSize + ChunkOverhead, fileSize - StrongHeaderSize)) {
    // Room for a whole chunk, and never none: libsodium is handed a real address.
    plain_.reserve(std::max<std::size_t>(locked_.size() - ChunkOverhead, 1));
}

std::error_code StrongDecryption::decryptNextChunk(const ByteInput& locked) {
    const auto length = static_cast<std::size_t>(
        std::min<std::uint64_t>(fileSize_ - lockedRead_, header_.chunkSize + ChunkOverhead));
    const std::span<std::byte> chunk = std::span(locked_).first(length);
    if (const std::error_code error = locked.readExactly(lockedRead_, chunk))
        return error;
    // The first chunk carries the whole header as additional data.
    const auto header = header_.bytes();
    const bool first = lockedRead_ == StrongHeaderSize;
    lockedRead_ += length;
    finished_ = lockedRead_ == fileSize_;

    plain_.resize(length - ChunkOverhead);
    unsigned long long plainLength = 0;
    unsigned char tag = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(
            &stream_->state, reinterpret_cast<unsigned char*>(plain_.data()), &plainLength, &tag,
            reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size(),
            first ? reinterpret_cast<const unsigned char*>(header.data()) : nullptr,
            first ? header.size() : 0) != 0)
        return EngineError::DamagedRecord;
    const unsigned char expected = finished_ ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                                             : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
    if (tag != expected)
        return EngineError::DamagedRecord;
    plain_.resize(static_cast<std::size_t>(plainLength));
    handedOut_ = 0;
    return {};
}

std::error_code StrongDecryption::fill(const ByteInput& locked, std::uint64_t offset,
                                       std::span<std::byte> slice) {
    if (offset != produced_ || slice.size() > plainSize_ - produced_)
        return EngineError::UnexpectedEnd;
    while (!slice.empty() || (produced_ == plainSize_ && !finished_)) {
        if (handedOut_ == plain_.size()) {
            if (const std::error_code error = decryptNextChunk(locked))
                return error;
        }
        const std::size_t count = std::min(plain_.size() - handedOut_, slice.size());
        std::copy_n(plain_.begin() + static_cast<std::ptrdiff_t>(handedOut_), count, slice.begin());
        handedOut_ += count;
        produced_ += count;
        slice = slice.subspan(count);
    }
    return {};
}

std::error_code StrongDecryption::decryptWholeChunks(const ByteInput& locked,
                                                     const PlainUse& take) {
    while (!finished_) {
        const std::uint64_t length =
            std::min<std::uint64_t>(fileSize_ - lockedRead_, header_.chunkSize + ChunkOverhead);
        if (lockedRead_ + length > locked.size())
            return {};
        if (const std::error_code error = decryptNextChunk(locked))
            return error;
        if (const std::error_code error = take(plain_))
            return error;
    }
    return {};
}

} // namespace veskard::engine
