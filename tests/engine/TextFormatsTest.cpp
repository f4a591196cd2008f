#include "engine/TextFormats.h"
#include "support/FixedClock.h"

#include <gtest/gtest.h>

using namespace veskard::engine;
using namespace std::chrono_literals;

TEST(TextFormats, FixedFormatsGroupThousandsAndShowSeconds) {
    const FixedTextFormats formats;
    EXPECT_EQ(formats.byteCount(101), "101");
    EXPECT_EQ(formats.byteCount(999), "999");
    EXPECT_EQ(formats.byteCount(1000), "1,000");
    EXPECT_EQ(formats.byteCount(2048), "2,048");
    EXPECT_EQ(formats.byteCount(1073741824), "1,073,741,824");
    EXPECT_EQ(formats.dateTime(veskard::test::localTime(2026, 1, 2, 3, 4, 5)),
              "2026-01-02 03:04:05");
}

TEST(TextFormats, ElapsedSecondsCountWholeSecondBoundaries) {
    const auto start = veskard::test::localTime(2026, 12, 6, 10, 0, 0);
    EXPECT_EQ(elapsedSeconds(start + 100ms, start + 900ms), 0);
    EXPECT_EQ(elapsedSeconds(start + 900ms, start + 1100ms), 1); // 0.2 s across a boundary
    EXPECT_EQ(elapsedSeconds(start, start + 1999ms), 1);
    EXPECT_EQ(elapsedSeconds(start + 999ms, start + 62s), 62);
}
