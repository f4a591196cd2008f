#include "Cli.h"
#include "LockHolder.h"
#include "support/FileHold.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

// A file held by another program is refused and stays byte for byte as it was;
// once that program lets go, the same command goes through.
void expectRefusedWhileHeld(const std::string& way) {
    TempFolder folder;
    const std::filesystem::path plain = folder / "plain.bin";
    const std::filesystem::path locked = folder / "locked.bin";
    writeFile(plain, patternBytes(64 * 1024, 1));
    writeFile(locked, patternBytes(64 * 1024, 2));
    ASSERT_EQ(lock(locked, "pw").exitCode, 0);
    const std::vector<std::byte> plainBytes = readFile(plain);
    const std::vector<std::byte> record = readFile(locked);
    {
        const LockHolder holdPlain(plain, way);
        const LockHolder holdLocked(locked, way);

        const ChildOutcome lockOutcome = lock(plain, "pw");
        EXPECT_EQ(lockOutcome.exitCode, 1) << lockOutcome;
        EXPECT_EQ(lockOutcome.err, LockHeldText + "\n");

        const ChildOutcome unlockOutcome = unlock(locked, "pw");
        EXPECT_EQ(unlockOutcome.exitCode, 1) << unlockOutcome;
        EXPECT_EQ(unlockOutcome.err, UnlockHeldText + "\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2)
            << "no temporary file left behind";
    }
    // Compared once the holder has let go: on Windows it may keep even readers out.
    EXPECT_EQ(readFile(plain), plainBytes);
    EXPECT_EQ(readFile(locked), record);
    EXPECT_EQ(lock(plain, "pw").exitCode, 0);
    EXPECT_EQ(unlock(locked, "pw").exitCode, 0);
    EXPECT_EQ(readFile(locked), patternBytes(64 * 1024, 2));
}

// Another program reading the file: in-place writing must wait for it.
TEST(LockedFileTest, ReaderHoldingTheFileBlocksInPlaceWriting) {
    for (const std::string& way : holdWays().reading) {
        SCOPED_TRACE("held by HoldFile " + way);
        expectRefusedWhileHeld(way);
    }
}

// Another program holding the file exclusively, or for writing.
TEST(LockedFileTest, WriterHoldingTheFileBlocksLockAndUnlock) {
    for (const std::string& way : holdWays().writing) {
        SCOPED_TRACE("held by HoldFile " + way);
        expectRefusedWhileHeld(way);
    }
}

} // namespace
} // namespace veskard::test
