#include "engine/DecryptJob.h"
#include "engine/EncryptJob.h"
#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "engine/StrongFormat.h"
#include "support/Encipher.h"
#include "support/FixedClock.h"
#include "support/RecordingEvents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <thread>

// The decrypt job as a window drives it: a file opened when chosen, restored
// later. What it restores, and how it fails on real files, the command
// line's tests check on both systems.
using namespace veskard;
using namespace veskard::engine;
using test::readFile;
using test::writeFile;

namespace {

class DecryptJobTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::RecordingEvents events;
    test::FixedClock clock{test::localTime(2026, 12, 6, 9, 30, 10)};
    SystemRandom random;
    FixedTextFormats formats;
    DecryptJob job{{events, clock, random, formats}};

    // A locked file of `size` bytes; `seed` chooses its content.
    std::filesystem::path makeLocked(const std::string& name, std::size_t size, unsigned seed) {
        const auto path = folder / name;
        writeFile(path, test::encipher(test::patternBytes(size, seed), u"中文", random));
        return path;
    }

    // Unlocks `path` in place as every front end does: open, check, restore.
    JobStatus unlockStrong(const std::filesystem::path& path, std::u16string_view password) {
        if (JobStatus opened = job.openEnciphered(path); !opened.ok())
            return opened;
        EXPECT_EQ(job.opened()->kind, LockKind::Strong);
        const Result<PasswordCheck> check = job.checkPassword(password);
        EXPECT_EQ(check.ok() ? *check : PasswordCheck::Wrong, PasswordCheck::Right);
        return job.restoreTo(path);
    }
};

} // namespace

// What a restore writes, and the warning of bytes after the record, the
// command line's tests check; here, what the window is told along the way.
TEST_F(DecryptJobTest, RestoresAnotherFileReportingEveryByte) {
    const auto path = makeLocked("b.locked", 70000, 1);
    ASSERT_TRUE(job.openEnciphered(path).ok());
    EXPECT_EQ(job.opened()->storedPassword, u"中文");
    const JobStatus status = job.restoreTo(folder / "new.bin");
    ASSERT_TRUE(status.ok()) << status.cause().message();
    EXPECT_EQ(events.reports.back(), (ByteProgress{2 * 70000, 2 * 70000}));
    EXPECT_TRUE(events.changes.empty()) << "decrypting writes nothing to the log";
    EXPECT_FALSE(job.opened()) << "the record is released after a restore";
}

TEST_F(DecryptJobTest, RefusesToRestoreFromAFileThatChangedSinceItWasOpened) {
    const auto path = makeLocked("c.locked", 5000, 2);
    ASSERT_TRUE(job.openEnciphered(path).ok());
    // Same size, new content and time: another record written over it.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    writeFile(path, readFile(makeLocked("d.locked", 5000, 3)));

    EXPECT_EQ(job.restoreTo(folder / "out.bin").cause(), EngineError::SourceChanged);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bin"));
    EXPECT_TRUE(job.opened()) << "the record stays as it was read";

    // An empty target fails without a word.
    const JobStatus status = job.restoreTo({});
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());
    EXPECT_EQ(folder.names(), (std::vector<std::filesystem::path>{"c.locked", "d.locked"}));
}

// The chunks' edges: nothing at all (one empty FINAL chunk), one byte, one
// full chunk, and one byte into the second. The password is checked before
// anything is written, and any text is one: these characters are not GBK's.
TEST_F(DecryptJobTest, StrongLocksComeBackAtEveryChunkEdge) {
    const std::u16string password = u"密码 😀🔑";
    EncryptJob lock({events, clock, random, formats}, KeyCost::cheapest());
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{DefaultChunkSize},
                                   std::size_t{DefaultChunkSize} + 1}) {
        SCOPED_TRACE(size);
        const auto path = folder / "strong.bin";
        const std::vector<std::byte> plain = test::patternBytes(size, 5);
        writeFile(path, plain);
        ASSERT_TRUE(lock.load(path, Relock::Refuse, LockKind::Strong).ok());
        ASSERT_TRUE(lock.encipherTo(path, password).ok());
        const std::vector<std::byte> locked = readFile(path);
        EXPECT_EQ(locked.size(), strongFileSize(size, DefaultChunkSize));

        ASSERT_TRUE(job.openEnciphered(path).ok());
        EXPECT_EQ(job.opened()->plainSize, size);
        EXPECT_EQ(job.checkPassword(u"密码 😀").value(), PasswordCheck::Wrong);
        EXPECT_EQ(job.restoreTo(path).cause(), EngineError::NothingLoaded)
            << "no key without the right password";
        EXPECT_EQ(readFile(path), locked);
        ASSERT_TRUE(unlockStrong(path, password).ok());
        EXPECT_EQ(readFile(path), plain);
        EXPECT_FALSE(job.opened());
    }
}

// Damage of any kind, made by chance or on purpose, is refused as damage,
// and nothing is written: the file stays byte for byte, no temporary file is
// left. A header is found damaged when the file is opened, a chunk while it
// is decrypted.
TEST_F(DecryptJobTest, ADamagedStrongLockIsRefusedAndNothingIsWritten) {
    constexpr std::size_t Chunk = DefaultChunkSize;
    constexpr std::size_t Stride = Chunk + ChunkOverhead;
    constexpr std::size_t Plain = 3 * Chunk + 1000; // three full chunks and a last of 1000 bytes
    const auto chunkAt = [](std::size_t index) { return StrongHeaderSize + index * Stride; };
    using Bytes = std::vector<std::byte>;
    const auto flip = [](std::size_t at) { return [at](Bytes& b) { b[at] ^= std::byte{0x20}; }; };
    const auto cutTo = [](std::size_t size) { return [size](Bytes& b) { b.resize(size); }; };
    enum class FoundWhen { Opened, Restored };
    struct Row {
        const char* what;
        std::function<void(Bytes&)> damage;
        FoundWhen found;
        std::size_t plain = Plain;
    };
    const Row rows[] = {
        {"magic", flip(0), FoundWhen::Opened},
        {"version", flip(8), FoundWhen::Opened},
        {"algorithm", flip(9), FoundWhen::Opened},
        {"opslimit", flip(10), FoundWhen::Opened},
        {"memlimit", flip(20), FoundWhen::Opened},
        {"chunk size", flip(28), FoundWhen::Opened},
        {"salt", flip(30), FoundWhen::Opened},
        {"stream header", flip(46), FoundWhen::Opened},
        {"MAC", flip(70), FoundWhen::Opened},
        {"checksum", flip(102), FoundWhen::Opened},
        {"first chunk", flip(chunkAt(0) + 5), FoundWhen::Restored},
        {"a middle chunk's body", flip(chunkAt(1) + 1000), FoundWhen::Restored},
        {"a middle chunk's tag", flip(chunkAt(2) - 1), FoundWhen::Restored},
        {"the final chunk", flip(chunkAt(3) + 500), FoundWhen::Restored},
        {"an empty file's only chunk", flip(chunkAt(0) + 3), FoundWhen::Restored, 0},
        {"cut at a chunk's end", cutTo(chunkAt(3)), FoundWhen::Restored},
        {"cut inside the last chunk", cutTo(chunkAt(3) + 500), FoundWhen::Restored},
        {"cut inside a chunk's overhead", cutTo(chunkAt(3) + 10), FoundWhen::Opened},
        {"bytes appended", [](Bytes& b) { b.insert(b.end(), 7, std::byte{0}); },
         FoundWhen::Restored},
        {"two chunks swapped",
         [&](Bytes& b) {
             std::swap_ranges(b.begin() + chunkAt(1), b.begin() + chunkAt(2),
                              b.begin() + chunkAt(2));
         },
         FoundWhen::Restored},
    };
    const auto path = folder / "strong.locked";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Bytes damaged = test::encipherStrong(test::patternBytes(row.plain, 3), u"pw");
        row.damage(damaged);
        writeFile(path, damaged);
        const JobStatus status = unlockStrong(path, u"pw");
        EXPECT_EQ(status.cause(), EngineError::DamagedRecord);
        EXPECT_EQ(status.notice(), Messages::damagedOrNotEnciphered());
        EXPECT_EQ(job.opened().has_value(), row.found == FoundWhen::Restored)
            << "a restore that failed keeps the file opened";
        EXPECT_EQ(readFile(path), damaged);
        EXPECT_EQ(folder.names(), std::vector<std::filesystem::path>{"strong.locked"});
    }
}
