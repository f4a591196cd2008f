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

    ChildProcess startLock() {
        return ChildProcess({CliProgram, "lock", utf8(file_)}, ChildOptions{.terminal = true});
    }

    TempFolder folder_;
    const std::filesystem::path file_ = folder_ / "data.bin";
    const std::vector<std::byte> original_ = patternBytes(200 * 1024, 9);
};

TEST_F(TerminalTest, PasswordTypedTwiceWithoutEchoLocksTheFile) {
    ChildProcess child = startLock();
    ASSERT_TRUE(child.waitForError("密码："));
    child.type("Tulip-42\n");
    ASSERT_TRUE(child.waitForError("确认密码："));
    child.type("Tulip-42\n");
    const ChildOutcome outcome = child.finish();

    ASSERT_EQ(outcome.exitCode, 0) << outcome;
    EXPECT_EQ(outcome.err.find("Tulip"), std::string::npos) << "echoed: " << outcome.err;
    EXPECT_NE(outcome.err.find("100%"), std::string::npos) << "no progress bar: " << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(unlock(file_, "Tulip-42").exitCode, 0);
    EXPECT_EQ(readFile(file_), original_);
}

TEST_F(TerminalTest, MistypedConfirmationLocksNothing) {
    ChildProcess child = startLock();
    ASSERT_TRUE(child.waitForError("密码："));
    child.type("Tulip-42\n");
    ASSERT_TRUE(child.waitForError("确认密码："));
    child.type("Tulip-24\n");
    const ChildOutcome outcome = child.finish();

    EXPECT_EQ(outcome.exitCode, 1) << outcome;
    EXPECT_NE(outcome.err.find("密码确认不正确！"), std::string::npos) << outcome;
    EXPECT_EQ(readFile(file_), original_);
}

TEST_F(TerminalTest, UnlockAsksOnceAndRefusesAWrongPassword) {
    ASSERT_EQ(lock(file_, "Tulip-42").exitCode, 0);
    const std::vector<std::byte> record = readFile(file_);

    ChildProcess wrong({CliProgram, "unlock", utf8(file_)}, ChildOptions{.terminal = true});
    ASSERT_TRUE(wrong.waitForError("密码："));
    wrong.type("tulip-42\n");
    const ChildOutcome refused = wrong.finish();
    EXPECT_EQ(refused.exitCode, 1) << refused;
    EXPECT_NE(refused.err.find("密码不正确！"), std::string::npos) << refused;
    EXPECT_EQ(readFile(file_), record);

    ChildProcess right({CliProgram, "unlock", utf8(file_)}, ChildOptions{.terminal = true});
    ASSERT_TRUE(right.waitForError("密码："));
    right.type("Tulip-42\n");
    const ChildOutcome unlocked = right.finish();
    EXPECT_EQ(unlocked.exitCode, 0) << unlocked;
    EXPECT_EQ(unlocked.err.find("确认"), std::string::npos) << unlocked;
    EXPECT_EQ(readFile(file_), original_);
}

} // namespace
} // namespace veskard::test
