#include "engine/StrongFormat.h"
#include "engine/EngineError.h"
#include "engine/Sodium.h"
#include "engine/StrongDecryption.h"
#include "engine/StrongEncryption.h"
#include "engine/StrongKeys.h"
#include "engine/StrongReadBack.h"
#include "support/Encipher.h"
#include "support/RecordingEvents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sodium.h>

// The strong lock's format, in memory. How the jobs use it on real files,
// and how they refuse damage, JobTest checks.
using namespace veskard;
using namespace veskard::engine;
using test::decipherStrong;
using test::encipherStrong;
using test::patternBytes;

namespace {

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

} // namespace

// Made once from this file's inputs and checked against the README's
// description by a reader written apart from this code: a change to the
// format, the password's bytes or the key derivation shows here.
TEST(StrongFormat, KnownAnswerFilesPinTheFormatByteForByte) {
    struct KnownAnswer {
        std::string file;
        std::size_t plainSize;
        std::uint32_t chunkSize;
    };
    // One FINAL chunk; and MESSAGE, MESSAGE, FINAL with the header only on the first.
    const KnownAnswer known[] = {{"100-bytes.vsk", 100, DefaultChunkSize},
                                 {"150-bytes-in-64-byte-chunks.vsk", 150, 64}};
    for (const KnownAnswer& answer : known) {
        SCOPED_TRACE(answer.file);
        const std::vector<std::byte> plain = patternBytes(answer.plainSize, 7);
        const std::vector<std::byte> stored = test::readFile(
            std::filesystem::path(VESKARD_ENGINE_TEST_DATA) / "strong" / answer.file);
        {
            const CountingRandomness counting;
            EXPECT_EQ(encipherStrong(plain, Password, answer.chunkSize, FixedSalt), stored);
        }
        const Result<std::vector<std::byte>> read = decipherStrong(stored, Password);
        ASSERT_TRUE(read.ok()) << read.error().message();
        EXPECT_EQ(*read, plain);
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
    EXPECT_TRUE(withHeader(largest).ok());
    EXPECT_TRUE(withHeader(smallest).ok());
    const auto changed = [](StrongHeader header, auto change) {
        change(header);
        return header;
    };
    const StrongHeader beyond[] = {
        changed(largest, [](StrongHeader& h) { ++h.cost.opsLimit; }),
        changed(largest, [](StrongHeader& h) { ++h.cost.memLimit; }),
        changed(largest, [](StrongHeader& h) { ++h.chunkSize; }),
        changed(smallest, [](StrongHeader& h) { --h.cost.opsLimit; }),
        changed(smallest, [](StrongHeader& h) { --h.cost.memLimit; }),
        changed(smallest, [](StrongHeader& h) { --h.chunkSize; }),
    };
    for (const StrongHeader& header : beyond)
        EXPECT_EQ(withHeader(header).error(), EngineError::DamagedRecord)
            << header.cost.opsLimit << " " << header.cost.memLimit << " " << header.chunkSize;
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
    const Fingerprint read = encryption->plainFingerprint();

    const auto check = [&](const std::vector<std::byte>& file, const Fingerprint& fingerprint) {
        Result<StrongReadBack> readBack =
            StrongReadBack::start(*keys, encryption->header(), written.size());
        EXPECT_TRUE(readBack.ok());
        test::RecordingEvents events;
        ProgressMeter meter(events, plain.size(), {});
        for (std::size_t length = 0; length < file.size();) {
            length = std::min<std::size_t>(length + 1000, file.size());
            if (const std::error_code error =
                    readBack->follow(MemoryInput(std::span(file).first(length)), meter))
                return error;
        }
        return readBack->finish(MemoryInput(file), fingerprint);
    };
    EXPECT_FALSE(check(written, read));
    EXPECT_EQ(check(written, {read.hash ^ 1, read.size}), EngineError::VerificationFailed);
    for (const std::size_t at : {std::size_t{50}, StrongHeaderSize + 2000}) {
        std::vector<std::byte> damaged = written;
        damaged[at] ^= std::byte{1};
        EXPECT_EQ(check(damaged, read), EngineError::VerificationFailed) << at;
    }
    const std::vector<std::byte> cut(written.begin(), written.end() - 1);
    EXPECT_EQ(check(cut, read), EngineError::VerificationFailed);
}
