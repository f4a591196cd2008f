#include "Cli.h"
#include "support/FileHold.h"

namespace veskard::test {
namespace {

// Locking and unlocking open the file the same way: the lock stands for both.
TEST(LockedFileTest, AFileAnotherProgramHoldsIsRefusedUntilItLetsGo) {
    for (const std::string& way : FileHold::ways()) {
        SCOPED_TRACE(way);
        TempFolder folder;
        const std::filesystem::path plain = folder / "plain.bin";
        writeFile(plain, patternBytes(64 * 1024, 1));
        {
            const FileHold held(plain, way);
            EXPECT_TRUE(ended(lock(plain, "pw"), 1, printed(engine::Messages::encryptHeld())));
            EXPECT_EQ(folder.names().size(), 1u) << "no temporary file left behind";
        }
        // Compared once the hold is let go: on Windows it may keep even readers out.
        EXPECT_EQ(readFile(plain), patternBytes(64 * 1024, 1));
        EXPECT_EQ(lock(plain, "pw").exitCode, 0);
    }
}

} // namespace
} // namespace veskard::test
