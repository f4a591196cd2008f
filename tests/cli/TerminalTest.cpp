#include "Cli.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

// A person at a terminal: the password is asked there, twice for locking, and
// never shown; the progress bar goes to the terminal too.
class TerminalTest : public ::testing::Test {
protected:
    void SetUp() override { writeFile(file_, original_); }

    // Runs `command` on the file at a terminal, typing each answer once its
    // question shows.
    ChildOutcome atTerminal(const std::string& command,
                            const std::vector<std::pair<std::string, std::string>>& dialogue) {
        ChildProcess child({CliProgram, command, utf8(file_)}, {.terminal = true});
        for (const auto& [question, answer] : dialogue) {
            EXPECT_TRUE(child.waitForError(question)) << question;
            child.type(answer + "\n");
        }
        return child.finish();
    }

    TempFolder folder_;
    const std::filesystem::path file_ = folder_ / "data.bin";
    const std::vector<std::byte> original_ = patternBytes(200 * 1024, 9);
};

TEST_F(TerminalTest, LockAsksTwiceWithoutEchoAndAMistypedConfirmationLocksNothing) {
    const ChildOutcome mistyped =
        atTerminal("lock", {{"密码：", "Tulip-42"}, {"确认密码：", "Tulip-24"}});
    EXPECT_TRUE(ended(mistyped, 1));
    EXPECT_NE(mistyped.err.find("密码确认不正确！"), std::string::npos) << mistyped;
    EXPECT_EQ(readFile(file_), original_);

    const ChildOutcome locked =
        atTerminal("lock", {{"密码：", "Tulip-42"}, {"确认密码：", "Tulip-42"}});
    ASSERT_TRUE(ended(locked, 0));
    EXPECT_EQ(locked.err.find("Tulip"), std::string::npos) << "echoed: " << locked.err;
    EXPECT_NE(locked.err.find("100%"), std::string::npos) << "no progress bar: " << locked.err;
    EXPECT_EQ(locked.out, "");
    EXPECT_EQ(unlock(file_, "Tulip-42").exitCode, 0) << "the password as typed, no line end";
}

// A wrong password's refusal is the same whoever typed it (see CommandLineTest).
TEST_F(TerminalTest, UnlockAsksOnce) {
    ASSERT_EQ(lock(file_, "Tulip-42").exitCode, 0);
    const ChildOutcome unlocked = atTerminal("unlock", {{"密码：", "Tulip-42"}});
    EXPECT_TRUE(ended(unlocked, 0));
    EXPECT_EQ(unlocked.err.find("确认"), std::string::npos) << unlocked;
    EXPECT_EQ(readFile(file_), original_);
}

} // namespace
} // namespace veskard::test
