#pragma once

#include "engine/ByteStreams.h"
#include "engine/ContentLayout.h"
#include "engine/CryptRecord.h"
#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace veskard::engine {

// The enciphered file's layout, little-endian and unpadded:
//   list header of Pieces (N), then for each stored piece a list header and its bytes;
//   list header of PassCodes (L), then for each code a 16-bit length and its ASCII digits;
//   list header of Order (N), then N signed 16-bit positions; then Spare, 16 bits.
// A list header is: 16-bit dimension count (1), 32-bit element count, 32-bit lower bound (1).
inline constexpr std::uint64_t ListHeaderSize = 10;

// Passwords typed into a text box never come near this; a record claiming
// more is not one of ours, and refusing it bounds what reading may allocate.
inline constexpr std::uint32_t MaximumPassCodes = 65535;

// Files of this many bytes or fewer are never enciphered.
inline constexpr std::uint64_t LargestRefusedSize = 100;

std::uint64_t recordSize(const CryptRecord& record);

// The enciphered file holding `record`, its pieces' bytes taken from the plain file.
ContentLayout recordLayout(const CryptRecord& record);
// The plain file: the pieces of `record`, taken from the enciphered file, in
// plain order with no headers.
ContentLayout plainLayout(const CryptRecord& record);

// Writes the record; the pieces' bytes are read from `pieceSource`.
std::error_code writeRecord(ByteOutput& output, const CryptRecord& record,
                            const ByteInput& pieceSource);

// Reads the record at the start of `input`, whose pieces then name ranges of
// `input`. Anything after the record is ignored. A file that does not hold a
// well-formed record gives EngineError::DamagedRecord; the check is strict
// (the record must be one this program could have written), and memory use is
// bounded by the file's size whatever its content claims.
Result<CryptRecord> readRecord(const ByteInput& input);

// Writes the plain file's content, the pieces read from `pieceSource`.
std::error_code writePlainPieces(ByteOutput& output, const CryptRecord& record,
                                 const ByteInput& pieceSource);

} // namespace veskard::engine
