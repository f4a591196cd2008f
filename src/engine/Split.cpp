#include "engine/Split.h"

#include "engine/EngineError.h"
#include "engine/Rounding.h"

#include <algorithm>
#include <limits>

namespace veskard::engine {

std::vector<Piece> SplitPlan::plainPieces() const {
    std::vector<Piece> pieces(pieceCount);
    for (std::uint32_t i = 0; i < pieceCount; ++i)
        pieces[i] = {i * pieceLength, pieceLength};
    pieces.back().length = lastPieceLength();
    return pieces;
}

SplitPlan planFor(std::uint64_t size, std::uint32_t pieceCount) {
    return {size, pieceCount, size / pieceCount};
}

bool isPossiblePieceCount(std::uint64_t size, std::uint32_t pieceCount) {
    if (size < MinimumDrawnPieces)
        return pieceCount == size;
    return pieceCount >= MinimumDrawnPieces &&
           pieceCount <= std::min<std::uint64_t>(MaximumPieces, size);
}

Result<SplitPlan> split(std::uint64_t size, RandomSource& random) {
    if (size == 0)
        return EngineError::EmptyFile;
    std::uint32_t pieceCount = static_cast<std::uint32_t>(size);
    if (size >= MinimumDrawnPieces) {
        // Never more pieces than bytes, so no piece is ever empty.
        const std::uint32_t highest =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(MaximumPieces, size));
        const double span = highest - MinimumDrawnPieces;
        pieceCount = static_cast<std::uint32_t>(
            roundHalfEven(static_cast<double>(random.next()) * span + MinimumDrawnPieces));
    }
    const SplitPlan plan = planFor(size, pieceCount);
    // Each piece's length is stored as an unsigned 32-bit count.
    if (plan.lastPieceLength() > std::numeric_limits<std::uint32_t>::max())
        return EngineError::FileTooLarge;
    return plan;
}

} // namespace veskard::engine
