#include "engine/Scramble.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/Split.h"
#include "support/Encipher.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

using namespace veskard::engine;
using veskard::test::decipher;
using veskard::test::patternBytes;

// A record may store the pieces in any order: its table puts them back. The
// order drawn is one of them, and never leaves the pieces where they were.
TEST(Scramble, AnyPermutationReadsBackAndTheDrawnOneMovesThePieces) {
    SystemRandom random;
    for (const std::uint64_t size : {101u, 5000u}) {
        const std::vector<std::byte> plain = patternBytes(size);
        const std::vector<Piece> pieces = split(size, random)->plainPieces();
        std::vector<std::int16_t> identity(pieces.size());
        std::iota(identity.begin(), identity.end(), std::int16_t{1});
        std::vector<std::int16_t> shuffled = identity;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(static_cast<unsigned>(size)));
        const ScrambleResult drawn = scramble(pieces, random, {});
        EXPECT_NE(drawn.order, identity);

        for (const std::vector<std::int16_t>& order :
             {identity, std::vector<std::int16_t>(identity.rbegin(), identity.rend()), shuffled,
              drawn.order}) {
            std::vector<Piece> stored(pieces.size());
            for (std::size_t i = 0; i < pieces.size(); ++i)
                stored.at(static_cast<std::size_t>(order[i] - 1)) = pieces[i];
            if (order == drawn.order) {
                EXPECT_EQ(stored, drawn.stored) << "the stored pieces follow the drawn order";
            }
            const CryptRecord record{stored, *encodePassword(u"p"), order, 0};
            MemoryOutput output;
            ASSERT_FALSE(writeRecord(output, record, MemoryInput(plain)));
            EXPECT_EQ(decipher(output.bytes()), plain) << size;
        }
    }
}
