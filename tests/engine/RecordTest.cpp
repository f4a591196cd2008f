#include "engine/EngineError.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/Scramble.h"
#include "engine/Split.h"
#include "fuzz/RecordConsistency.h"
#include "platform/File.h"
#include "support/Encipher.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

// The record: how a file is cut, stored out of order, and read back.
using namespace veskard;
using namespace veskard::engine;
using test::decipher;
using test::encipher;
using test::patternBytes;
using Codes = std::vector<std::string>;

namespace {

Result<CryptRecord> read(const std::vector<std::byte>& bytes) {
    return readRecord(MemoryInput(bytes));
}

// Counts from 1024 to 1100 pieces, all as long but the last, which takes the
// rest; smaller files are cut into single bytes, and never into more pieces.
TEST(Split, DrawnCountSpansItsRangeWithEvenPiecesAndTheRestLast) {
    struct Row {
        std::uint64_t size;
        float draw;
        std::uint64_t count, length, last;
    };
    for (const Row& row : {Row{5000, 0.0f, 1024, 4, 908}, Row{5000, test::AlmostOne, 1100, 4, 604},
                           Row{1023, 0.7f, 1023, 1, 1}, Row{1024, test::AlmostOne, 1024, 1, 1}}) {
        test::ScriptedRandom random({row.draw});
        const SplitPlan plan = *split(row.size, random);
        EXPECT_EQ(std::tuple(plan.pieceCount, plan.pieceLength, plan.lastPieceLength()),
                  std::tuple(row.count, row.length, row.last))
            << row.size << " " << row.draw;
    }
    // 1024 pieces of more than 4 GiB each would overflow a piece's 32-bit count.
    test::ScriptedRandom random({0.0f});
    EXPECT_EQ(split(std::uint64_t{1} << 43, random).error(), EngineError::FileTooLarge);
}

// Upper-case code page codes without leading zeros; what the code page lacks is "?".
TEST(PasswordCodes, CharactersBecomeCodePageCodesAndBack) {
    EXPECT_EQ(*encodePassword(u"a\t中文é€กb😀"),
              (Codes{"61", "9", "D6D0", "CEC4", "A8A6", "80", "3F", "62", "3F", "3F"}));
    EXPECT_EQ(decodePassword(*encodePassword(u"Pass word! é€〇·ＡＢＣ")),
              u"Pass word! é€〇·ＡＢＣ");
    EXPECT_EQ(encodePassword(u"").error(), EngineError::EmptyPassword);
    EXPECT_TRUE(encodePassword(std::u16string(MaximumPassCodes, u'a')));
    EXPECT_EQ(encodePassword(std::u16string(MaximumPassCodes + 1, u'a')).error(),
              EngineError::PasswordTooLong);
    // Codes no writer makes: lower case, a lone lead byte, no character, two characters.
    EXPECT_EQ(decodePassword({"d6d0", "81", "FFFF", "4142", "0"}), std::u16string(u"中???\0", 5));
    for (const char* invalid : {"", "12345", "G1"})
        EXPECT_FALSE(isValidPassCode(invalid)) << invalid;
}

TEST(RecordFormat, SmallestFileWithOneLetterPasswordGivesThe1349ByteRecord) {
    SystemRandom random;
    const std::vector<std::byte> enciphered = encipher(patternBytes(101), u"x", random);
    ASSERT_EQ(enciphered.size(), 1349u);
    const Result<CryptRecord> record = read(enciphered);
    ASSERT_TRUE(record.ok()) << record.error().message();
    EXPECT_EQ(record->PassCodes, Codes{"78"});
    EXPECT_EQ(recordSize(*record), 1349u);
    // The first list's header (one dimension, 101 elements, lower bound 1); Spare last, zero.
    const std::vector<std::byte> header(enciphered.begin(), enciphered.begin() + 10);
    EXPECT_EQ(header, (std::vector<std::byte>{
                          std::byte{1}, std::byte{0}, std::byte{101}, std::byte{0}, std::byte{0},
                          std::byte{0}, std::byte{1}, std::byte{0}, std::byte{0}, std::byte{0}}));
    EXPECT_EQ(enciphered[1347], std::byte{0});
    EXPECT_EQ(enciphered[1348], std::byte{0});
}

TEST(RecordFormat, RoundTripsEverySizeAroundTheBoundariesAndRefusesEveryTruncation) {
    SystemRandom random;
    for (const std::size_t size : {101, 1023, 1024, 1100, 1101, 3 << 20}) {
        const std::vector<std::byte> plain = patternBytes(size, static_cast<unsigned>(size));
        const std::vector<std::byte> enciphered = encipher(plain, u"中文 pass", random);
        const Result<CryptRecord> record = read(enciphered);
        ASSERT_TRUE(record.ok()) << size;
        EXPECT_EQ(recordSize(*record), enciphered.size());
        EXPECT_EQ(enciphered.size(), size + 12 * record->Pieces.size() + 64) << size;
        EXPECT_EQ(decipher(enciphered), plain) << size;
        EXPECT_EQ(decodePassword(record->PassCodes), u"中文 pass");
        EXPECT_FALSE(std::ranges::is_sorted(record->Order)) << "the pieces stay in their places";
    }
    const std::vector<std::byte> enciphered = encipher(patternBytes(150), u"中a", random);
    for (std::size_t length = 0; length < enciphered.size(); ++length) {
        const std::vector<std::byte> cut(enciphered.begin(), enciphered.begin() + length);
        EXPECT_EQ(read(cut).error(), EngineError::DamagedRecord) << length;
    }
}

// Inputs the fuzzers once failed on, and those of fuzz/make-hostile-records.py:
// "refused-" ones must be refused, "accepted-" ones read, any other cleanly
// either way; from memory and from the file alike.
TEST(FuzzRegression, EveryStoredInputIsRefusedCleanlyOrReadConsistently) {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(VESKARD_ENGINE_TEST_DATA))
        if (entry.is_regular_file())
            paths.push_back(entry.path());
    ASSERT_GE(paths.size(), 20u) << "inputs missing from " << VESKARD_ENGINE_TEST_DATA;
    for (const std::filesystem::path& path : paths) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const std::vector<std::byte> bytes = test::readFile(path);
        const Result<CryptRecord> record = read(bytes);
        if (name.starts_with("refused-") || name.starts_with("accepted-")) {
            EXPECT_EQ(record.ok(), name.starts_with("accepted-"));
        }
        EXPECT_EQ(record ? fuzz::firstInconsistency(*record, MemoryInput(bytes)) : "", "");
        EXPECT_TRUE(record || record.error() == EngineError::DamagedRecord);

        const Result<platform::File> file = platform::File::openForReading(path);
        ASSERT_TRUE(file.ok());
        const Result<CryptRecord> fromFile = readRecord(*FileInput::open(*file));
        ASSERT_EQ(fromFile.ok(), record.ok());
        if (record) {
            EXPECT_EQ(std::tie(fromFile->Pieces, fromFile->PassCodes, fromFile->Order),
                      std::tie(record->Pieces, record->PassCodes, record->Order));
        }
    }
}

// Enough bytes for every code, so that only the limit itself can refuse them.
TEST(FuzzRegression, PassCodeCountStopsAtTheLimit) {
    const std::vector<std::byte> plain = patternBytes(101);
    CryptRecord record;
    for (std::uint64_t i = 0; i < plain.size(); ++i) {
        record.Pieces.push_back({i, 1});
        record.Order.push_back(static_cast<std::int16_t>(i + 1));
    }
    for (const std::size_t count : {MaximumPassCodes, MaximumPassCodes + 1}) {
        record.PassCodes.assign(count, "41");
        MemoryOutput output;
        ASSERT_FALSE(writeRecord(output, record, MemoryInput(plain)));
        EXPECT_EQ(read(output.bytes()).ok(), count == MaximumPassCodes);
    }
}

} // namespace
