#include "engine/EngineError.h"
#include "engine/RecordFormat.h"
#include "platform/File.h"
#include "support/Encipher.h"
#include "support/ScriptedRandom.h"
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

void putLittleEndian(std::vector<std::byte>& bytes, std::size_t at, std::uint64_t value,
                     int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
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
                                          std::byte{0}, std::byte{0}, std::byte{1}, std::byte{0},
                                          std::byte{0}, std::byte{0}};
    EXPECT_EQ(header, expected);
    // Spare is the last two bytes, zero.
    EXPECT_EQ(enciphered[1347], std::byte{0});
    EXPECT_EQ(enciphered[1348], std::byte{0});
    EXPECT_EQ(decipher(enciphered), plain);
}

TEST(RecordFormat, RoundTripsEverySizeAroundTheBoundaries) {
    SystemRandom random;
    std::vector<std::size_t> sizes;
    for (std::size_t size = 101; size <= 140; ++size)
        sizes.push_back(size);
    for (std::size_t size = 1000; size <= 1120; ++size)
        sizes.push_back(size);
    for (const std::size_t size : {2047u, 4096u, 5000u, 65537u, 3u << 20})
        sizes.push_back(size);

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

TEST(RecordFormat, BytesAfterTheRecordAreIgnored) {
    SystemRandom random;
    const std::vector<std::byte> plain = patternBytes(3000);
    std::vector<std::byte> enciphered = encipher(plain, u"pw", random);
    const CryptRecord before = *read(enciphered);
    const std::vector<std::byte> tail = patternBytes(5000, 9);
    enciphered.insert(enciphered.end(), tail.begin(), tail.end());

    const Result<CryptRecord> after = read(enciphered);
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(after->Pieces, before.Pieces);
    EXPECT_EQ(after->Order, before.Order);
    EXPECT_EQ(decipher(enciphered), plain);
}

TEST(RecordFormat, RoundTripsThroughRealFiles) {
    test::TempFolder folder;
    SystemRandom random;
    const std::vector<std::byte> plain = patternBytes((2u << 20) + 77);
    test::writeFile(folder / "plain.bin", plain);
    {
        const Result<platform::File> source = platform::File::openForReading(folder / "plain.bin");
        ASSERT_TRUE(source.ok());
        const Result<FileInput> input = FileInput::open(*source);
        const SplitPlan plan = *split(input->size(), random);
        const std::vector<Piece> pieces = plan.plainPieces();
        ScrambleResult scrambled = scramble(pieces, random, {});
        const CryptRecord record{scrambled.stored, *encodePassword(u"k"), scrambled.order, 0};
        Result<platform::File> target = platform::File::createNew(folder / "locked.bin");
        ASSERT_TRUE(target.ok());
        FileOutput output(*target);
        std::vector<std::byte> buffer(CopyBufferSize);
        ASSERT_FALSE(writeRecord(output, record, *input, buffer));
        ASSERT_FALSE(target->sync());
    }
    const Result<platform::File> locked = platform::File::openForReading(folder / "locked.bin");
    ASSERT_TRUE(locked.ok());
    const Result<FileInput> input = FileInput::open(*locked);
    const Result<CryptRecord> record = readRecord(*input);
    ASSERT_TRUE(record.ok());
    {
        Result<platform::File> restored = platform::File::createNew(folder / "restored.bin");
        FileOutput output(*restored);
        std::vector<std::byte> buffer(CopyBufferSize);
        ASSERT_FALSE(writePlainPieces(output, *record, *input, buffer));
    }
    EXPECT_EQ(test::readFile(folder / "restored.bin"), plain);
    EXPECT_FALSE(platform::File::createNew(folder / "restored.bin").ok()) << "must not overwrite";
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

TEST(RecordFormat, ForeignAndMalformedHeadersAreRefused) {
    const std::string text = "This is a plain text file, long enough to look like something.\r\n";
    const std::vector<std::byte> plainText(reinterpret_cast<const std::byte*>(text.data()),
                                           reinterpret_cast<const std::byte*>(text.data()) +
                                               text.size());
    EXPECT_EQ(read(plainText).error(), EngineError::DamagedRecord);

    test::ScriptedRandom random({0.5f, 0.3f, 0.8f});
    const std::vector<std::byte> good = encipher(patternBytes(120), u"ab", random);
    ASSERT_TRUE(read(good).ok());
    const std::size_t passCodesAt = 10 + 120 * 11;
    const std::size_t orderAt = passCodesAt + 10 + 2 * 4;

    const auto refusedWhen = [&](auto change) {
        std::vector<std::byte> bad = good;
        change(bad);
        return read(bad).error() == EngineError::DamagedRecord;
    };
    EXPECT_TRUE(refusedWhen([](auto& b) { putLittleEndian(b, 0, 2, 2); }));         // two dimensions
    EXPECT_TRUE(refusedWhen([](auto& b) { putLittleEndian(b, 6, 0, 4); }));         // lower bound 0
    EXPECT_TRUE(refusedWhen([](auto& b) { putLittleEndian(b, 2, 0xFFFFFFFF, 4); })); // huge count
    EXPECT_TRUE(refusedWhen([](auto& b) { putLittleEndian(b, 2, 0, 4); }));         // no pieces
    EXPECT_TRUE(refusedWhen([](auto& b) { putLittleEndian(b, 12, 0xFFFFFFF0, 4); })); // long piece
    EXPECT_TRUE(refusedWhen([&](auto& b) { putLittleEndian(b, passCodesAt + 2, 0, 4); }));
    EXPECT_TRUE(refusedWhen([&](auto& b) { putLittleEndian(b, passCodesAt + 2, 1u << 30, 4); }));
    EXPECT_TRUE(refusedWhen([&](auto& b) { putLittleEndian(b, passCodesAt + 10, 5, 2); }));
    EXPECT_TRUE(refusedWhen([&](auto& b) { b[passCodesAt + 12] = std::byte{'Z'}; })); // not hex
    EXPECT_TRUE(refusedWhen([&](auto& b) { putLittleEndian(b, orderAt + 2, 119, 4); }));
    // An order that repeats a position, or names one past the end, is no permutation.
    EXPECT_TRUE(refusedWhen([&](auto& b) {
        putLittleEndian(b, orderAt + 10, 7, 2);
        putLittleEndian(b, orderAt + 12, 7, 2);
    }));
    EXPECT_TRUE(refusedWhen([&](auto& b) { putLittleEndian(b, orderAt + 10, 121, 2); }));
    EXPECT_TRUE(refusedWhen([&](auto& b) { putLittleEndian(b, orderAt + 10, 0xFFFF, 2); }));
}

TEST(RecordFormat, PieceLengthsMustFollowTheSplit) {
    // Two records of 1100 and 1200 plain bytes, where lengths can be moved
    // between pieces without breaking any header.
    SystemRandom random;
    for (const std::size_t size : {1100u, 1200u}) {
        std::vector<std::byte> enciphered = encipher(patternBytes(size), u"p", random);
        CryptRecord record = *read(enciphered);
        // Rewrite the record with one byte moved from one piece to another.
        CryptRecord skewed = record;
        const std::size_t last = static_cast<std::size_t>(record.Order.back()) - 1;
        const std::size_t donor = last == 0 ? 1 : 0;
        skewed.Pieces[donor].length -= 1;
        skewed.Pieces[last].length += 1;
        if (skewed.Pieces[donor].length == 0)
            continue; // one-byte pieces: the shape cannot be skewed without emptying one
        MemoryOutput output;
        std::vector<std::byte> buffer(4096);
        const MemoryInput source(enciphered);
        ASSERT_FALSE(writeRecord(output, skewed, source, buffer));
        EXPECT_EQ(read(output.bytes()).error(), EngineError::DamagedRecord) << size;
    }
}

TEST(RecordFormat, RandomlyFlippedBytesNeverGiveAnInconsistentRecord) {
    SystemRandom random;
    const std::vector<std::byte> good = encipher(patternBytes(1500), u"中文", random);
    std::uint32_t state = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::byte> bad = good;
        for (int flips = 0; flips < 1 + round % 4; ++flips) {
            state = state * 1664525u + 1013904223u;
            bad[state % bad.size()] ^= static_cast<std::byte>(1u << (state >> 29));
        }
        const Result<CryptRecord> record = read(bad);
        if (!record) {
            EXPECT_EQ(record.error(), EngineError::DamagedRecord);
            continue;
        }
        // Whatever still reads must restore to a file of the size it claims.
        EXPECT_LE(recordSize(*record), bad.size());
        EXPECT_EQ(decipher(bad).size(), record->plainSize());
    }
}
