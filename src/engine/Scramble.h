#pragma once

#include "engine/CryptRecord.h"
#include "engine/RandomSource.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace veskard::engine {

struct ScrambleResult {
    std::vector<Piece> stored;       // the pieces in stored order
    std::vector<std::int16_t> order; // order[i]: stored position (from 1) of plain piece i + 1
};

// Called before each draw with the draw number (from 1) and the piece count.
using ScrambleProgress = std::function<void(int draw, int total)>;

// Reseeds, then makes exactly one draw per piece: a draw that hits a piece not
// yet placed puts it in the next stored position. Pieces no draw hit follow in
// file order.
ScrambleResult scramble(std::span<const Piece> plain, RandomSource& random,
                        const ScrambleProgress& progress);

// For each plain piece in file order, the index (from 0) of its stored piece.
std::vector<std::size_t> unscrambleOrder(const CryptRecord& record);

} // namespace veskard::engine
