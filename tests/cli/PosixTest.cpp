#include "Tracing.h"

namespace veskard::test {
namespace {

// A link leads to the file that is replaced, and stays; an output naming a
// link that leads nowhere counts as existing. What takes 5 seconds has blocked.
TEST(PathsTest, OnlyRegularFilesAreReadOrReplacedThroughLinksAndNothingBlocks) {
    TempFolder folder;
    const std::filesystem::path plain = folder / "plain.bin", fifo = folder / "fifo";
    writeFile(plain, patternBytes(5000, 1));
    std::filesystem::create_symlink("plain.bin", folder / "link");
    std::filesystem::create_symlink("nowhere", folder / "out");
    for (const std::string command : {"lock", "unlock"}) {
        EXPECT_TRUE(ended(run(command, folder / "link", "pw"), 0)) << command;
        EXPECT_EQ(std::filesystem::read_symlink(folder / "link"), "plain.bin");
        EXPECT_EQ(readFile(plain) == patternBytes(5000, 1), command == "unlock");
        const ChildOutcome out = run(command, plain, "pw", {"-o", utf8(folder / "out")});
        EXPECT_TRUE(ended(out, 1));
        EXPECT_NE(out.err.find("--force"), std::string::npos) << out;
    }
    EXPECT_EQ(std::filesystem::read_symlink(folder / "out"), "nowhere");

    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"info", utf8(fifo)},
          {"lock", utf8(fifo), "--password-stdin"},
          {"lock", utf8(plain), "-o", utf8(fifo), "--force", "--password-stdin"}}) {
        const ChildOutcome outcome = cli(arguments, "pw\n", std::chrono::seconds(5));
        EXPECT_TRUE(ended(outcome, 1)) << arguments[0] << " " << arguments.size();
        EXPECT_NE(outcome.err.find("不是普通文件！    "), std::string::npos) << outcome;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(readFile(plain), patternBytes(5000, 1));
    EXPECT_EQ(folder.names().size(), 4u) << "nothing left behind";
}

// Every attribute byte for byte: an ACL, the DOS attributes as Samba's newer
// versions store them, and as root trusted and security ones.
TEST(MetadataTest, ReplacedFilesKeepOwnerModeAndEveryAttributeNewOnesAreFresh) {
    TempFolder folder;
    const std::filesystem::path file = folder / "report.xls", out = folder / "out";
    std::map<std::string, std::string> attributes{
        {"user.comment", std::string("note\0binary", 11)},
        {"user.DOSATTRIB",
         std::string("\x04\x00\x04\x00\x04\x00\x00\x00\x22\x00\x00\x00\x11\x00", 14)}};
    if (::geteuid() == 0)
        attributes.insert({{"security.veskard-test", "label"}, {"trusted.veskard-test", "mark"}});
    writeFile(file, patternBytes(5000, 1));
    writeFile(out, patternBytes(300, 4));
    if (!setMetadata(file, 0640, NobodyId, attributes))
        GTEST_SKIP() << "no extended attributes here";
    ASSERT_TRUE(setMetadata(out, 0604, NobodyId, {{"user.comment", "the output's own"}}));
    ASSERT_EQ(runChild({"setfacl", "-m", "u:1234:r", utf8(file)}).exitCode, 0) << "package acl";
    const std::string before = metadataOf(file), outBefore = metadataOf(out);
    ASSERT_NE(before.find("system.posix_acl_access"), std::string::npos) << before;
    for (const std::string command : {"lock", "unlock"}) {
        EXPECT_TRUE(ended(run(command, file, "pw", {"-o", utf8(out), "--force"}), 0)) << command;
        EXPECT_TRUE(ended(run(command, file, "pw"), 0)) << command;
        EXPECT_EQ(metadataOf(file), before) << command;
        EXPECT_EQ(metadataOf(out), outBefore) << command;
    }
    EXPECT_EQ(readFile(file), patternBytes(5000, 1));

    const mode_t umask = ::umask(027);
    ASSERT_TRUE(ended(lock(file, "pw", {"-o", utf8(folder / "new.vsk")}), 0));
    ::umask(umask);
    EXPECT_EQ(metadataOf(folder / "new.vsk"),
              "100640 " + std::to_string(::geteuid()) + ':' + std::to_string(::getegid()));
}

// The progress bar goes to the terminal too.
TEST(TerminalTest, LockAsksTwiceWithoutEchoUnlockOnce) {
    TempFolder folder;
    const auto file = writeFile(folder / "data.bin", patternBytes(200 * 1024, 9));
    const auto atTerminal = [&](const std::string& command, const std::vector<std::string>& typed) {
        ChildProcess child({CliProgram, command, utf8(file)}, {.terminal = true});
        const std::vector<std::string> questions{"密码：", "确认密码："};
        for (std::size_t i = 0; i < typed.size(); ++i) {
            EXPECT_TRUE(child.waitFor(1, questions[i])) << questions[i];
            child.type(typed[i] + "\n");
        }
        return child.finish();
    };
    const ChildOutcome mistyped = atTerminal("lock", {"Tulip-42", "Tulip-24"});
    EXPECT_TRUE(ended(mistyped, 1));
    EXPECT_NE(mistyped.err.find("密码确认不正确！"), std::string::npos) << mistyped;
    EXPECT_EQ(readFile(file), patternBytes(200 * 1024, 9));

    const ChildOutcome locked = atTerminal("lock", {"Tulip-42", "Tulip-42"});
    ASSERT_TRUE(ended(locked, 0));
    EXPECT_EQ(locked.err.find("Tulip"), std::string::npos) << "echoed: " << locked.err;
    EXPECT_NE(locked.err.find("100%"), std::string::npos) << "no progress bar: " << locked.err;
    EXPECT_EQ(locked.out, "");
    const ChildOutcome unlocked = atTerminal("unlock", {"Tulip-42"});
    EXPECT_TRUE(ended(unlocked, 0));
    EXPECT_EQ(unlocked.err.find("确认"), std::string::npos) << unlocked;
    EXPECT_EQ(readFile(file), patternBytes(200 * 1024, 9));
}

} // namespace
} // namespace veskard::test
