#include "engine/RecordFormat.h"
#include "engine/EngineError.h"
#include "support/Encipher.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace veskard;
using namespace veskard::engine;
using veskard::test::decipher;
using veskard::test::encipher;
using veskard::test::patternBytes;

namespace {

Result<CryptRecord> read(const std::vector<std::byte>& bytes) {
    return readRecord(MemoryInput(bytes));
}

} // namespace

TEST(RecordFormat, SmallestFileWithOneLetterPasswordGivesThe1349ByteRecord) {
    SystemRandom random;
    const std::vector<std::byte> plain = patternBytes(101);
    const std::vector<std::byte> enciphered = encipher(plain, u"x", random);
    ASSERT_EQ(enciphered.size(), 1349u);

    const Result<CryptRecord> record = read(enciphered);
    ASSERT_TRUE(record.ok()) << record.error().message();
    EXPECT_EQ(record->Pieces.size(), 101u);
    EXPECT_EQ(record->Order.size(), 101u);
    EXPECT_EQ(record->PassCodes, std::vector<std::string>{"78"});
    EXPECT_EQ(record->plainSize(), 101u);
    EXPECT_EQ(recordSize(*record), 1349u);
    EXPECT_EQ(decodePassword(record->PassCodes), u"x");

    // The first list header: one dimension, 101 elements, lower bound 1.
    const std::vector<std::byte> header(enciphered.begin(), enciphered.begin() + 10);
    const std::vector<std::byte> expected{std::byte{1}, std::byte{0}, std::byte{101}, std::byte{0},
                                          std::byte{0}, std::byte{0}, std::byte{1},   std::byte{0},
                                          std::byte{0}, std::byte{0}};
    EXPECT_EQ(header, expected);
    // Spare is the last two bytes, zero.
    EXPECT_EQ(enciphered[1347], std::byte{0});
    EXPECT_EQ(enciphered[1348], std::byte{0});
    EXPECT_EQ(decipher(enciphered), plain);
}

TEST(RecordFormat, RoundTripsEverySizeAroundTheBoundaries) {
    SystemRandom random;
    // Around each split boundary: single-byte pieces, and 1024 to 1100 pieces.
    const std::size_t sizes[] = {101, 140, 1023, 1024, 1025, 1100, 1101, 2047, 5000, 3u << 20};
    for (const std::size_t size : sizes) {
        const std::vector<std::byte> plain = patternBytes(size, static_cast<unsigned>(size));
        const std::vector<std::byte> enciphered = encipher(plain, u"中文 pass", random);
        const Result<CryptRecord> record = read(enciphered);
        ASSERT_TRUE(record.ok()) << size;
        EXPECT_EQ(recordSize(*record), enciphered.size());
        EXPECT_EQ(enciphered.size(), size + 12 * record->Pieces.size() + 32 + (2 * 6 + 5 * 4))
            << size;
        EXPECT_EQ(decipher(enciphered), plain) << size;
        EXPECT_EQ(decodePassword(record->PassCodes), u"中文 pass");
    }
}

TEST(RecordFormat, EveryTruncationIsRefusedAsDamaged) {
    SystemRandom random;
    const std::vector<std::byte> enciphered = encipher(patternBytes(150), u"中a", random);
    for (std::size_t length = 0; length < enciphered.size(); ++length) {
        const std::vector<std::byte> cut(enciphered.begin(),
                                         enciphered.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(read(cut).error(), EngineError::DamagedRecord) << length;
    }
}
