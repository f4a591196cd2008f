#pragma once

#include "engine/CryptRecord.h"
#include "engine/RandomSource.h"
#include "platform/Result.h"

#include <cstdint>
#include <vector>

namespace veskard::engine {

// How a file of `size` bytes is cut: `pieceCount` pieces of `pieceLength`
// bytes, the last one holding the remainder.
struct SplitPlan {
    std::uint64_t size = 0;
    std::uint32_t pieceCount = 0;
    std::uint64_t pieceLength = 0;

    std::uint64_t lastPieceLength() const { return size - (pieceCount - 1) * pieceLength; }
    // The pieces as ranges of the plain file, in file order.
    std::vector<Piece> plainPieces() const;
};

inline constexpr std::uint32_t MinimumDrawnPieces = 1024;
inline constexpr std::uint32_t MaximumPieces = 1100;

// Files below 1024 bytes are cut into single bytes; larger ones into a random
// count of 1024 to 1100 pieces, never more pieces than bytes.
Result<SplitPlan> split(std::uint64_t size, RandomSource& random);

// The plan a record's pieces must follow, given their count and total size.
SplitPlan planFor(std::uint64_t size, std::uint32_t pieceCount);

// Whether `pieceCount` is a count that splitting `size` bytes can give.
bool isPossiblePieceCount(std::uint64_t size, std::uint32_t pieceCount);

} // namespace veskard::engine
