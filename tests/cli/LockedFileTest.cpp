#include "Cli.h"
#include "support/FileHold.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

// Another program holding the file, the named way (see support/FileHold.h),
// until the holder is destroyed: a real child process, HoldFile.
class Holder {
public:
    Holder(const std::filesystem::path& file, const std::string& way)
        : child_({VESKARD_HOLD_FILE_PATH, way, utf8(file)}) {
        if (!child_.waitForOutput("+"))
            throw std::runtime_error("could not hold " + utf8(file) + ": " + child_.finish().err);
    }

private:
    ChildProcess child_;
};

// A file held by another program, reading it or writing it, is refused and
// stays byte for byte as it was; once that program lets go, the same command
// goes through.
TEST(LockedFileTest, AFileAnotherProgramHoldsIsRefusedUntilItLetsGo) {
    for (const std::string& way : holdWays()) {
        SCOPED_TRACE("held by HoldFile " + way);
        TempFolder folder;
        const std::filesystem::path plain = folder / "plain.bin";
        const std::filesystem::path locked = folder / "locked.bin";
        writeFile(plain, patternBytes(64 * 1024, 1));
        writeFile(locked, patternBytes(64 * 1024, 2));
        ASSERT_EQ(lock(locked, "pw").exitCode, 0);
        const std::vector<std::byte> record = readFile(locked);
        {
            const Holder holdPlain(plain, way);
            const Holder holdLocked(locked, way);
            const ChildOutcome lockOutcome = lock(plain, "pw");
            EXPECT_TRUE(ended(lockOutcome, 1));
            EXPECT_EQ(lockOutcome.err, printed(engine::Messages::encryptHeld()));
            const ChildOutcome unlockOutcome = unlock(locked, "pw");
            EXPECT_TRUE(ended(unlockOutcome, 1));
            EXPECT_EQ(unlockOutcome.err, printed(engine::Messages::restoreHeld()));
            EXPECT_EQ(folder.names().size(), 2u) << "no temporary file left behind";
        }
        // Compared once the holder has let go: on Windows it may keep even readers out.
        EXPECT_EQ(readFile(plain), patternBytes(64 * 1024, 1));
        EXPECT_EQ(readFile(locked), record);
        EXPECT_EQ(lock(plain, "pw").exitCode, 0);
        EXPECT_EQ(unlock(locked, "pw").exitCode, 0);
    }
}

} // namespace
} // namespace veskard::test
