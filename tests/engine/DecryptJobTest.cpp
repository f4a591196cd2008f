#include "engine/DecryptJob.h"
#include "engine/EngineError.h"
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
