#pragma once

#include "engine/ByteStreams.h"
#include "platform/Result.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace veskard::engine {

// A strongly locked file (the README's "Strong lock format" gives it byte for
// byte): a header of StrongHeaderSize bytes, then the content encrypted with
// libsodium's crypto_secretstream_xchacha20poly1305 in chunks of chunkSize
// plain bytes, each ChunkOverhead bytes longer once encrypted. Every chunk
// but the last is full and tagged MESSAGE; the last holds the rest (one or
// more bytes, or none when it is the only one) and is tagged FINAL. The key
// comes from the password through Argon2id.
//
// Header, little-endian:
//   0  magic (8)            89 56 53 4B 0D 0A 1A 0A
//   8  version (1)          1
//   9  algorithm (1)        1: Argon2id v1.3, XChaCha20-Poly1305 secretstream
//  10  opslimit (8)         Argon2id's passes
//  18  memlimit (8)         Argon2id's memory in bytes
//  26  chunk size (4)       plain bytes per chunk
//  30  salt (16)
//  46  stream header (24)   crypto_secretstream_xchacha20poly1305's header
//  70  MAC (32)             BLAKE2b keyed with the header key, of bytes 0-69
// 102  checksum (16)        BLAKE2b without key, of bytes 0-101
inline constexpr std::array<std::byte, 8> StrongMagic = {
    std::byte{0x89}, std::byte{'V'},  std::byte{'S'},  std::byte{'K'},
    std::byte{0x0D}, std::byte{0x0A}, std::byte{0x1A}, std::byte{0x0A}};
inline constexpr std::uint8_t StrongVersion = 1;
inline constexpr std::uint8_t StrongAlgorithm = 1;
inline constexpr std::size_t StrongFieldsSize = 70;
inline constexpr std::size_t HeaderMacSize = 32;
inline constexpr std::size_t HeaderChecksumSize = 16;
inline constexpr std::size_t StrongHeaderSize =
    StrongFieldsSize + HeaderMacSize + HeaderChecksumSize;
inline constexpr std::uint64_t ChunkOverhead = 17; // crypto_secretstream's ABYTES
inline constexpr std::uint32_t DefaultChunkSize = std::uint32_t{1} << 20;

// What deriving the key costs: Argon2id's passes and its memory in bytes.
struct KeyCost {
    std::uint64_t opsLimit = 0;
    std::uint64_t memLimit = 0;
    bool operator==(const KeyCost&) const = default;

    // libsodium's moderate level, what a lock uses: 3 passes over 256 MiB.
    static KeyCost moderate();
    // The least libsodium allows: for tests and the fuzzer only.
    static KeyCost cheapest();
};

// Bounds of what a file may ask for; beyond them a file is damaged, never a
// reason to allocate without limit or to work for hours.
inline constexpr std::uint64_t LargestOpsLimit = 16;
inline constexpr std::uint64_t LargestMemLimit = std::uint64_t{4} << 30;
inline constexpr std::uint32_t SmallestChunkSize = 64;
inline constexpr std::uint32_t LargestChunkSize = std::uint32_t{16} << 20;

using Salt = std::array<std::byte, 16>;
using StreamHeader = std::array<std::byte, 24>;
using HeaderMac = std::array<std::byte, HeaderMacSize>;

struct StrongHeader {
    KeyCost cost;
    std::uint32_t chunkSize = DefaultChunkSize;
    Salt salt{};
    StreamHeader streamHeader{};
    HeaderMac mac{};
    bool operator==(const StrongHeader&) const = default;

    // Bytes 0-69, which the MAC covers.
    std::array<std::byte, StrongFieldsSize> fields() const;
    // The whole header as stored, its checksum made here.
    std::array<std::byte, StrongHeaderSize> bytes() const;
};

// The size of the locked file holding `plainSize` bytes.
std::uint64_t strongFileSize(std::uint64_t plainSize, std::uint32_t chunkSize);
// The plain size a locked file of `fileSize` bytes holds; none when no
// content makes a file of that size (it was cut short or added to).
std::optional<std::uint64_t> strongPlainSize(std::uint64_t fileSize, std::uint32_t chunkSize);

// Whether `input` starts as a strongly locked file does, whatever follows.
bool hasStrongMagic(const ByteInput& input);

// Reads the header at the start of `input` and checks all that needs no key:
// magic, a version and algorithm this program knows, costs and chunk size
// within bounds, the checksum, and a size that whole chunks make up. Anything
// else is DamagedRecord. Whether the MAC fits is the keys' to tell.
Result<StrongHeader> readStrongHeader(const ByteInput& input);

} // namespace veskard::engine
