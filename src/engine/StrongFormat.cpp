#include "engine/StrongFormat.h"

#include "engine/EngineError.h"
#include "engine/Sodium.h"

#include <sodium.h>

#include <algorithm>

namespace veskard::engine {
namespace {

template <typename T> void putLittleEndian(std::byte* at, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i)
        at[i] = static_cast<std::byte>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
}

template <typename T> T getLittleEndian(const std::byte* at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    return static_cast<T>(value);
}

constexpr std::size_t VersionAt = 8;
constexpr std::size_t AlgorithmAt = 9;
constexpr std::size_t OpsLimitAt = 10;
constexpr std::size_t MemLimitAt = 18;
constexpr std::size_t ChunkSizeAt = 26;
constexpr std::size_t SaltAt = 30;
constexpr std::size_t StreamHeaderAt = 46;
constexpr std::size_t MacAt = StrongFieldsSize;
constexpr std::size_t ChecksumAt = MacAt + HeaderMacSize;
static_assert(StreamHeaderAt + sizeof(StreamHeader) == StrongFieldsSize);
static_assert(ChunkOverhead == crypto_secretstream_xchacha20poly1305_ABYTES);
static_assert(sizeof(StreamHeader) == crypto_secretstream_xchacha20poly1305_HEADERBYTES);
static_assert(sizeof(Salt) == crypto_pwhash_argon2id_SALTBYTES);

using Checksum = std::array<std::byte, HeaderChecksumSize>;

Checksum checksumOf(std::span<const std::byte> bytes) {
    Checksum sum{};
    crypto_generichash(reinterpret_cast<unsigned char*>(sum.data()), sum.size(),
                       reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), nullptr,
                       0);
    return sum;
}

bool withinBounds(const StrongHeader& header) {
    return header.cost.opsLimit >= crypto_pwhash_argon2id_OPSLIMIT_MIN &&
           header.cost.opsLimit <= LargestOpsLimit &&
           header.cost.memLimit >= crypto_pwhash_argon2id_MEMLIMIT_MIN &&
           header.cost.memLimit <= LargestMemLimit && header.chunkSize >= SmallestChunkSize &&
           header.chunkSize <= LargestChunkSize;
}

} // namespace

KeyCost KeyCost::moderate() {
    return {crypto_pwhash_argon2id_OPSLIMIT_MODERATE, crypto_pwhash_argon2id_MEMLIMIT_MODERATE};
}

KeyCost KeyCost::cheapest() {
    return {crypto_pwhash_argon2id_OPSLIMIT_MIN, crypto_pwhash_argon2id_MEMLIMIT_MIN};
}

std::array<std::byte, StrongFieldsSize> StrongHeader::fields() const {
    std::array<std::byte, StrongFieldsSize> out{};
    std::copy(StrongMagic.begin(), StrongMagic.end(), out.begin());
    out[VersionAt] = std::byte{StrongVersion};
    out[AlgorithmAt] = std::byte{StrongAlgorithm};
    putLittleEndian(&out[OpsLimitAt], cost.opsLimit);
    putLittleEndian(&out[MemLimitAt], cost.memLimit);
    putLittleEndian(&out[ChunkSizeAt], chunkSize);
    std::copy(salt.begin(), salt.end(), out.begin() + SaltAt);
    std::copy(streamHeader.begin(), streamHeader.end(), out.begin() + StreamHeaderAt);
    return out;
}

std::array<std::byte, StrongHeaderSize> StrongHeader::bytes() const {
    std::array<std::byte, StrongHeaderSize> out{};
    const auto head = fields();
    std::copy(head.begin(), head.end(), out.begin());
    std::copy(mac.begin(), mac.end(), out.begin() + MacAt);
    const Checksum sum = checksumOf(std::span(out).first(ChecksumAt));
    std::copy(sum.begin(), sum.end(), out.begin() + ChecksumAt);
    return out;
}

std::uint64_t strongFileSize(std::uint64_t plainSize, std::uint32_t chunkSize) {
    const std::uint64_t chunks = plainSize == 0 ? 1 : (plainSize - 1) / chunkSize + 1;
    return StrongHeaderSize + chunks * ChunkOverhead + plainSize;
}

std::optional<std::uint64_t> strongPlainSize(std::uint64_t fileSize, std::uint32_t chunkSize) {
    if (fileSize < StrongHeaderSize + ChunkOverhead)
        return std::nullopt;
    const std::uint64_t stored = fileSize - StrongHeaderSize;
    const std::uint64_t stride = chunkSize + ChunkOverhead;
    const std::uint64_t chunks = (stored - 1) / stride + 1;
    const std::uint64_t plainSize = stored - chunks * ChunkOverhead;
    // A last chunk of overhead alone, or less, stands after no full one that we write.
    if (strongFileSize(plainSize, chunkSize) != fileSize)
        return std::nullopt;
    return plainSize;
}

bool hasStrongMagic(const ByteInput& input) {
    std::array<std::byte, StrongMagic.size()> start{};
    return input.size() >= start.size() && !input.readExactly(0, start) && start == StrongMagic;
}

Result<StrongHeader> readStrongHeader(const ByteInput& input) {
    if (const std::error_code error = sodiumReady())
        return error;
    std::array<std::byte, StrongHeaderSize> stored{};
    if (input.size() < stored.size())
        return EngineError::DamagedRecord;
    if (const std::error_code error = input.readExactly(0, stored))
        return error;
    StrongHeader header;
    header.cost = {getLittleEndian<std::uint64_t>(&stored[OpsLimitAt]),
                   getLittleEndian<std::uint64_t>(&stored[MemLimitAt])};
    header.chunkSize = getLittleEndian<std::uint32_t>(&stored[ChunkSizeAt]);
    std::copy_n(stored.begin() + SaltAt, header.salt.size(), header.salt.begin());
    std::copy_n(stored.begin() + StreamHeaderAt, header.streamHeader.size(),
                header.streamHeader.begin());
    std::copy_n(stored.begin() + MacAt, header.mac.size(), header.mac.begin());
    // Magic, version and algorithm are all made again here: bytes() must give
    // back exactly what is stored, its checksum included.
    if (!withinBounds(header) || header.bytes() != stored ||
        !strongPlainSize(input.size(), header.chunkSize))
        return EngineError::DamagedRecord;
    return header;
}

} // namespace veskard::engine
