#include "engine/Scramble.h"
#include "engine/Split.h"
#include "support/ScriptedRandom.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

using namespace veskard::engine;
using veskard::test::ScriptedRandom;

namespace {

std::vector<Piece> bytePieces(std::uint64_t count) {
    return planFor(count, static_cast<std::uint32_t>(count)).plainPieces();
}

bool isPermutation(const std::vector<std::int16_t>& order) {
    std::vector<std::int16_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (sorted[i] != static_cast<std::int16_t>(i + 1))
            return false;
    }
    return true;
}

} // namespace

TEST(Scramble, DrawsThatAllHitOnePiecePutItFirstAndTheRestInFileOrder) {
    ScriptedRandom random({0.5f});
    const std::vector<Piece> plain = bytePieces(200);
    const ScrambleResult result = scramble(plain, random, {});

    EXPECT_EQ(random.reseeds(), 1);
    ASSERT_EQ(result.stored.size(), 200u);
    EXPECT_EQ(result.stored[0], plain[100]);
    EXPECT_EQ(result.order[100], 1);
    for (std::size_t i = 0; i < 100; ++i)
        EXPECT_EQ(result.stored[i + 1], plain[i]);
    for (std::size_t i = 101; i < 200; ++i)
        EXPECT_EQ(result.stored[i], plain[i]);
}

TEST(Scramble, DrawnPiecesComeFirstInDrawOrderThenTheSweep) {
    // Draws 3, 1, 3 (a repeat, which places nothing) and 5 of five pieces.
    ScriptedRandom random({0.5f, 0.1f, 0.5f, 0.9f, 0.5f});
    const std::vector<Piece> plain = bytePieces(5);
    const ScrambleResult result = scramble(plain, random, {});
    const std::vector<std::int16_t> expectedOrder{2, 4, 1, 5, 3};
    EXPECT_EQ(result.order, expectedOrder);
    const std::vector<Piece> expectedStored{plain[2], plain[0], plain[4], plain[1], plain[3]};
    EXPECT_EQ(result.stored, expectedStored);
}

TEST(Scramble, ReportsEveryDrawAndGivesAPermutationThatUndoesItself) {
    SystemRandom random;
    ScriptedRandom planDraw({0.5f});
    const SplitPlan plan = *split(1000000, planDraw);
    const std::vector<Piece> plain = plan.plainPieces();

    std::vector<int> draws;
    const ScrambleResult result =
        scramble(plain, random, [&](int draw, int total) {
            EXPECT_EQ(total, static_cast<int>(plan.pieceCount));
            draws.push_back(draw);
        });
    std::vector<int> expectedDraws(plan.pieceCount);
    std::iota(expectedDraws.begin(), expectedDraws.end(), 1);
    EXPECT_EQ(draws, expectedDraws);
    EXPECT_TRUE(isPermutation(result.order));

    CryptRecord record{result.stored, {"41"}, result.order, 0};
    const std::vector<std::size_t> indices = unscrambleOrder(record);
    for (std::size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(record.Pieces[indices[i]], plain[i]);
}

TEST(Scramble, TwoRunsGiveDifferentOrders) {
    SystemRandom random;
    const std::vector<Piece> plain = bytePieces(500);
    EXPECT_NE(scramble(plain, random, {}).order, scramble(plain, random, {}).order);
}
