#include "Cli.h"
#include "support/FileHold.h"

namespace veskard::test {
namespace {

// A file another program holds (each way this system has) is refused and
// stays as it was; once that program lets go, it goes through.
TEST(LockedFileTest, AFileAnotherProgramHoldsIsRefusedUntilItLetsGo) {
    for (const std::string& way : FileHold::ways()) {
        SCOPED_TRACE(way);
        TempFolder folder;
        const std::filesystem::path plain = folder / "plain.bin", locked = folder / "locked.bin";
        writeFile(plain, patternBytes(64 * 1024, 1));
        writeFile(locked, patternBytes(64 * 1024, 2));
        ASSERT_EQ(lock(locked, "pw").exitCode, 0);
        const std::vector<std::byte> record = readFile(locked);
        {
            const FileHold plainHeld(plain, way), lockedHeld(locked, way);
            EXPECT_TRUE(ended(lock(plain, "pw"), 1, printed(engine::Messages::encryptHeld())));
            EXPECT_TRUE(ended(unlock(locked, "pw"), 1, printed(engine::Messages::restoreHeld())));
            EXPECT_EQ(folder.names().size(), 2u) << "no temporary file left behind";
        }
        // Compared once the hold is let go: on Windows it may keep even readers out.
        EXPECT_EQ(readFile(plain), patternBytes(64 * 1024, 1));
        EXPECT_EQ(readFile(locked), record);
        EXPECT_EQ(lock(plain, "pw").exitCode, 0);
        EXPECT_EQ(unlock(locked, "pw").exitCode, 0);
    }
}

} // namespace
} // namespace veskard::test
