#include "engine/EngineError.h"
#include "engine/SliceStream.h"
#include "engine/Sodium.h"
#include "engine/StrongFormat.h"
#include "engine/StrongReadBack.h"
#include "fuzz/RecordConsistency.h"
#include "support/Encipher.h"
#include "support/RecordingEvents.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sodium.h>

// Both formats in memory. The record: how a file is cut, stored out of order,
// written and read back. The strong lock: its bytes, its bounds and the lock's
// check of what it wrote; how the jobs use it on real files, and how they
// refuse damage, JobTest checks.
namespace veskard::test {
namespace {

using namespace engine;
using Codes = std::vector<std::string>;

Result<CryptRecord> read(const std::vector<std::byte>& bytes) {
    return readRecord(MemoryInput(bytes));
}

// Smaller files are cut into single bytes, never into more pieces.
TEST(Split, DrawnCountSpansItsRangeWithEvenPiecesAndTheRestLast) {
    using Plan = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t>; // count, length, last
    // clang-format off
    for (const auto& [size, draw, plan] : std::vector<std::tuple<std::uint64_t, float, Plan>>{
             {5000, 0.0f, {1024, 4, 908}}, {5000, AlmostOne, {1100, 4, 604}},
             {1023, 0.7f, {1023, 1, 1}}, {1024, AlmostOne, {1024, 1, 1}}}) {
        // clang-format on
        ScriptedRandom random({draw});
        const SplitPlan made = *split(size, random);
        EXPECT_EQ(Plan(made.pieceCount, made.pieceLength, made.lastPieceLength()), plan)
            << size << " " << draw;
    }
    // 1024 pieces of more than 4 GiB each would overflow a piece's 32-bit count.
    ScriptedRandom random({0.0f});
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

// A list header and an order entry for each piece, 64 bytes besides for this
// password (101 bytes and "x" make 1349); the stored inputs hold the reader,
// and through it the writer, to the layout.
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
        EXPECT_EQ(record->Spare, 0);
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
// either way.
TEST(FuzzRegression, EveryStoredInputIsRefusedCleanlyOrReadConsistently) {
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VESKARD_ENGINE_TEST_DATA)) {
        if (!entry.is_regular_file())
            continue; // the strong lock's known answers
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++inputs;
        const std::vector<std::byte> bytes = readFile(entry.path());
        const Result<CryptRecord> record = read(bytes);
        if (name.starts_with("refused-") || name.starts_with("accepted-")) {
            EXPECT_EQ(record.ok(), name.starts_with("accepted-"));
        }
        EXPECT_EQ(record ? fuzz::firstInconsistency(*record, MemoryInput(bytes)) : "", "");
        EXPECT_TRUE(record || record.error() == EngineError::DamagedRecord);
    }
    EXPECT_GE(inputs, 20) << "inputs missing from " << VESKARD_ENGINE_TEST_DATA;
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

// Three and a half slices: the last one short.
const std::vector<std::byte> Content = patternBytes(7 * SliceSize / 2);
constexpr std::uint64_t Nowhere = UINT64_MAX;

struct Disk {
    Result<Fingerprint> made;
    std::vector<std::byte> kept;
};

// Streams Content to a disk on which one bit of the byte at `corruptAt`
// flips; filling the slice at `failAt` fails.
Disk write(Filling filling, std::uint64_t corruptAt = Nowhere, std::uint64_t failAt = Nowhere) {
    const MemoryInput input(Content);
    Disk disk{Fingerprint{}, {}};
    disk.made = streamSlices(
        Content.size(),
        [&](std::uint64_t offset, std::span<std::byte> slice) {
            return offset == failAt ? std::make_error_code(std::errc::io_error)
                                    : input.readExactly(offset, slice);
        },
        [&](std::span<const std::byte> slice) {
            disk.kept.insert(disk.kept.end(), slice.begin(), slice.end());
            if (corruptAt < disk.kept.size() && corruptAt + slice.size() >= disk.kept.size())
                disk.kept[corruptAt] ^= std::byte{0x10};
            return std::error_code{};
        },
        filling);
    return disk;
}

std::error_code verify(const Disk& disk) {
    RecordingEvents events;
    ProgressMeter meter(events, disk.kept.size(), {});
    return verifyReadBack(MemoryInput(disk.kept), *disk.made, meter);
}

TEST(Verification, WhatIsReadBackMustBeExactlyWhatWasWrittenWhoeverFillsTheSlices) {
    const Disk good = write(Filling::ByCaller);
    const Disk ahead = write(Filling::AheadOnAThread);
    EXPECT_EQ(ahead.kept, Content);
    EXPECT_EQ(*ahead.made, *good.made);
    EXPECT_FALSE(verify(good));
    for (const std::uint64_t at : {std::size_t{0}, SliceSize - 1, SliceSize, Content.size() - 1})
        EXPECT_EQ(verify(write(Filling::AheadOnAThread, at)), EngineError::VerificationFailed)
            << at;
    Disk swapped = good; // the same bytes, in another order
    std::swap_ranges(swapped.kept.begin(), swapped.kept.begin() + SliceSize,
                     swapped.kept.begin() + 2 * SliceSize);
    EXPECT_EQ(verify(swapped), EngineError::VerificationFailed);

    for (const Filling filling : {Filling::ByCaller, Filling::AheadOnAThread}) {
        const Disk failed = write(filling, Nowhere, 2 * SliceSize);
        EXPECT_EQ(failed.made.error(), std::errc::io_error);
        EXPECT_EQ(failed.kept.size(), 2 * SliceSize);
    }
}

const std::u16string Password = u"Pässwörd 密码 😀";
const Salt FixedSalt = [] {
    Salt salt{};
    for (std::size_t i = 0; i < salt.size(); ++i)
        salt[i] = static_cast<std::byte>(0xA0 + i);
    return salt;
}();

// libsodium's randomness as counting bytes (00 01 02 ...) while it lives, so
// that a stream header comes out the same every time. libsodium is made ready
// first: that draws a canary for its guarded memory.
class CountingRandomness {
public:
    CountingRandomness() {
        EXPECT_FALSE(sodiumReady());
        next = 0;
        randombytes_set_implementation(&counting);
    }
    ~CountingRandomness() { randombytes_set_implementation(&randombytes_sysrandom_implementation); }
    CountingRandomness(const CountingRandomness&) = delete;
    CountingRandomness& operator=(const CountingRandomness&) = delete;

private:
    static inline unsigned char next = 0;
    static const char* name() { return "counting"; }
    static std::uint32_t random() { return next++; }
    static void fill(void* out, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            static_cast<unsigned char*>(out)[i] = next++;
    }
    static inline randombytes_implementation counting{name,    random, nullptr,
                                                      nullptr, fill,   nullptr};
};

// Made once from this file's inputs and checked against the README's
// description by a reader written apart from this code: a change to the
// format, the password's bytes or the key derivation shows here.
TEST(StrongFormat, KnownAnswerFilesPinTheFormatByteForByte) {
    // One FINAL chunk; and MESSAGE, MESSAGE, FINAL with the header only on the first.
    for (const auto& [file, plainSize, chunkSize] :
         {std::tuple{"100-bytes.vsk", 100, DefaultChunkSize},
          {"150-bytes-in-64-byte-chunks.vsk", 150, 64}}) {
        SCOPED_TRACE(file);
        const std::vector<std::byte> plain = patternBytes(plainSize, 7);
        const std::vector<std::byte> stored =
            readFile(std::filesystem::path(VESKARD_ENGINE_TEST_DATA) / "strong" / file);
        {
            const CountingRandomness counting;
            EXPECT_EQ(encipherStrong(plain, Password, chunkSize, FixedSalt), stored);
        }
        const Result<std::vector<std::byte>> unlocked = decipherStrong(stored, Password);
        ASSERT_TRUE(unlocked.ok()) << unlocked.error().message();
        EXPECT_EQ(*unlocked, plain);
    }
}

// A header anyone can write (its checksum needs no key) must not make the
// reader derive a key at any cost: what lies outside the bounds is damage.
TEST(StrongFormat, CostsAndChunkSizesOutOfBoundsAreDamage) {
    const auto withHeader = [](const StrongHeader& header) {
        const auto bytes = header.bytes();
        std::vector<std::byte> file(bytes.begin(), bytes.end());
        file.resize(strongFileSize(100, header.chunkSize));
        return readStrongHeader(MemoryInput(file));
    };
    const StrongHeader largest{{LargestOpsLimit, LargestMemLimit}, LargestChunkSize, {}, {}, {}};
    const StrongHeader smallest{KeyCost::cheapest(), SmallestChunkSize, {}, {}, {}};
    for (const bool above : {true, false}) {
        const StrongHeader bound = above ? largest : smallest;
        EXPECT_TRUE(withHeader(bound).ok());
        const auto past = [above](auto& value) { above ? ++value : --value; };
        StrongHeader ops = bound, memory = bound, chunk = bound;
        past(ops.cost.opsLimit);
        past(memory.cost.memLimit);
        past(chunk.chunkSize);
        for (const StrongHeader& header : {ops, memory, chunk})
            EXPECT_EQ(withHeader(header).error(), EngineError::DamagedRecord)
                << header.cost.opsLimit << " " << header.cost.memLimit << " " << header.chunkSize;
    }
}

// The lock's own check of what it writes, following the file as it grows:
// the header meant, every chunk authentic and there, and the plain text that
// was read, not merely some plain text.
TEST(StrongFormat, TheLockChecksTheFileWrittenAgainstThePlainTextRead) {
    const std::vector<std::byte> plain = patternBytes(5000);
    const Result<StrongKeys> keys = StrongKeys::derive(Password, KeyCost::cheapest(), FixedSalt);
    ASSERT_TRUE(keys.ok());
    Result<StrongEncryption> encryption =
        StrongEncryption::start(*keys, KeyCost::cheapest(), FixedSalt, plain.size(), 1024);
    ASSERT_TRUE(encryption.ok());
    std::vector<std::byte> written(encryption->size());
    ASSERT_FALSE(encryption->fill(MemoryInput(plain), 0, written));
    const Fingerprint plainRead = encryption->plainFingerprint();

    const auto check = [&](const std::vector<std::byte>& file, const Fingerprint& fingerprint) {
        Result<StrongReadBack> readBack =
            StrongReadBack::start(*keys, encryption->header(), written.size());
        EXPECT_TRUE(readBack.ok());
        RecordingEvents events;
        ProgressMeter meter(events, plain.size(), {});
        for (std::size_t length = 0; length < file.size();) {
            length = std::min<std::size_t>(length + 1000, file.size());
            if (const std::error_code error =
                    readBack->follow(MemoryInput(std::span(file).first(length)), meter))
                return error;
        }
        return readBack->finish(MemoryInput(file), fingerprint);
    };
    EXPECT_FALSE(check(written, plainRead));
    EXPECT_EQ(check(written, {plainRead.hash ^ 1, plainRead.size}),
              EngineError::VerificationFailed);
    for (const std::size_t at : {std::size_t{50}, StrongHeaderSize + 2000}) {
        std::vector<std::byte> damaged = written;
        damaged[at] ^= std::byte{1};
        EXPECT_EQ(check(damaged, plainRead), EngineError::VerificationFailed) << at;
    }
    const std::vector<std::byte> cut(written.begin(), written.end() - 1);
    EXPECT_EQ(check(cut, plainRead), EngineError::VerificationFailed);
}

} // namespace
} // namespace veskard::test
