#include "engine/StrongEncryption.h"

#include "engine/EngineError.h"
#include "engine/SecretStream.h"

#include <algorithm>

namespace veskard::engine {

Result<StrongEncryption> StrongEncryption::start(const StrongKeys& keys, const KeyCost& cost,
                                                 const Salt& salt, std::uint64_t plainSize,
                                                 std::uint32_t chunkSize) {
    Result<Secret<StreamState>> stream = Secret<StreamState>::make();
    if (!stream)
        return stream.error();
    StrongHeader header{cost, chunkSize, salt, {}, {}};
    crypto_secretstream_xchacha20poly1305_init_push(
        &(*stream)->state, reinterpret_cast<unsigned char*>(header.streamHeader.data()),
        keys.streamKey().data());
    header.mac = keys.headerMac(header);
    return StrongEncryption(std::move(*stream), header, plainSize);
}

StrongEncryption::StrongEncryption(Secret<StreamState> stream, const StrongHeader& header,
                                   std::uint64_t plainSize)
    : stream_(std::move(stream))
    , header_(header)
    , plainSize_(plainSize)
    // Never empty: libsodium is handed a real address even for an empty file.
    , plain_(std::max<std::uint64_t>(std::min<std::uint64_t>(header.chunkSize, plainSize), 1))
    , made_(StrongHeaderSize) {
    const auto bytes = header_.bytes();
    std::copy(bytes.begin(), bytes.end(), made_.begin());
}

std::error_code StrongEncryption::encryptNextChunk(const ByteInput& plain) {
    const std::uint64_t left = plainSize_ - plainRead_;
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(left, header_.chunkSize));
    const std::span<std::byte> chunk = std::span(plain_).first(length);
    if (const std::error_code error = plain.readExactly(plainRead_, chunk))
        return error;
    plainHash_.update(chunk);
    // The first chunk carries the whole header as additional data.
    const auto header = header_.bytes();
    const bool first = plainRead_ == 0;
    plainRead_ += length;
    const unsigned char tag = plainRead_ == plainSize_
                                  ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                                  : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
    made_.resize(length + ChunkOverhead);
    crypto_secretstream_xchacha20poly1305_push(
        &stream_->state, reinterpret_cast<unsigned char*>(made_.data()), nullptr,
        reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size(),
        first ? reinterpret_cast<const unsigned char*>(header.data()) : nullptr,
        first ? header.size() : 0, tag);
    handedOut_ = 0;
    return {};
}

std::error_code StrongEncryption::fill(const ByteInput& plain, std::uint64_t offset,
                                       std::span<std::byte> slice) {
    if (offset != produced_ || slice.size() > size() - produced_)
        return EngineError::UnexpectedEnd;
    while (!slice.empty()) {
        if (handedOut_ == made_.size()) {
            if (const std::error_code error = encryptNextChunk(plain))
                return error;
        }
        const std::size_t count = std::min(made_.size() - handedOut_, slice.size());
        std::copy_n(made_.begin() + static_cast<std::ptrdiff_t>(handedOut_), count, slice.begin());
        handedOut_ += count;
        produced_ += count;
        slice = slice.subspan(count);
    }
    return {};
}

} // namespace veskard::engine
