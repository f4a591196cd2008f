#include "engine/Split.h"
#include "engine/EngineError.h"
#include "support/ScriptedRandom.h"

#include <gtest/gtest.h>

using namespace veskard::engine;
using veskard::Result;
using veskard::test::AlmostOne;
using veskard::test::ScriptedRandom;

namespace {

SplitPlan splitWith(std::uint64_t size, float draw) {
    ScriptedRandom random({draw});
    const Result<SplitPlan> plan = split(size, random);
    EXPECT_TRUE(plan.ok());
    return *plan;
}

} // namespace

// The count drawn spans 1024 to 1100; every piece is the same length but the
// last, which takes the rest. Smaller files are cut into single bytes.
TEST(Split, DrawnCountSpansTheWholeRangeWithEvenPiecesAndTheRestLast) {
    const SplitPlan fewest = splitWith(5000, 0.0f);
    EXPECT_EQ(fewest.pieceCount, 1024u);
    EXPECT_EQ(fewest.pieceLength, 4u);
    EXPECT_EQ(fewest.lastPieceLength(), 908u);
    const SplitPlan most = splitWith(5000, AlmostOne);
    EXPECT_EQ(most.pieceCount, 1100u);
    EXPECT_EQ(most.lastPieceLength(), 604u);
    // 4700 / 1024 is about 4.59: the length is rounded down, not to nearest.
    EXPECT_EQ(splitWith(4700, 0.0f).pieceLength, 4u);
    // Below 1024 bytes every byte is a piece.
    for (const std::uint64_t size : {1u, 999u, 1023u}) {
        const SplitPlan plan = splitWith(size, 0.7f);
        EXPECT_EQ(plan.pieceCount, size);
        EXPECT_EQ(plan.lastPieceLength(), 1u);
    }
}

TEST(Split, NeverDrawsMorePiecesThanBytes) {
    for (std::uint64_t size = 1024; size <= 1100; ++size) {
        for (const float draw : {0.0f, 0.25f, 0.5f, 0.99f, AlmostOne}) {
            const SplitPlan plan = splitWith(size, draw);
            EXPECT_GE(plan.pieceCount, 1024u);
            EXPECT_LE(plan.pieceCount, size) << size << " " << draw;
            EXPECT_GE(plan.pieceLength, 1u);
            EXPECT_TRUE(isPossiblePieceCount(size, plan.pieceCount));
        }
    }
    EXPECT_EQ(splitWith(1024, AlmostOne).pieceCount, 1024u);
}

TEST(Split, PiecesCoverTheFileInOrderAndWhatCannotBeRecordedIsRefused) {
    const SplitPlan plan = splitWith(123457, 0.3f);
    const std::vector<Piece> pieces = plan.plainPieces();
    ASSERT_EQ(pieces.size(), plan.pieceCount);
    std::uint64_t next = 0;
    for (const Piece& piece : pieces) {
        EXPECT_EQ(piece.offset, next);
        next += piece.length;
    }
    EXPECT_EQ(next, 123457u);

    ScriptedRandom random({0.0f});
    EXPECT_EQ(split(0, random).error(), EngineError::EmptyFile);
    // 1024 pieces of more than 4 GiB each would overflow a piece's 32-bit count.
    EXPECT_EQ(split(std::uint64_t{1} << 43, random).error(), EngineError::FileTooLarge);
}
