#include "Tracing.h"

#include <cerrno>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

// What only POSIX has: paths to FIFOs, devices, sockets and links, owners and
// extended attributes, and a person at a terminal.
namespace veskard::test {
namespace {

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(plain_, patternBytes(5000, 1));
        writeFile(locked_, patternBytes(6000, 2));
        ASSERT_EQ(lock(locked_, "pw").exitCode, 0);
        record_ = readFile(locked_);
    }
    // Every way a command meets `path`: as the file read, or as the one written.
    std::vector<std::vector<std::string>> commandsMeeting(const std::filesystem::path& path) const {
        return {{"info", utf8(path)},
                {"lock", utf8(path), "--password-stdin"},
                {"unlock", utf8(path), "--password-stdin"},
                {"lock", utf8(plain_), "-o", utf8(path), "--force", "--password-stdin"},
                {"unlock", utf8(locked_), "-o", utf8(path), "--force", "--password-stdin"}};
    }
    void expectNothingChanged() {
        EXPECT_EQ(readFile(plain_), patternBytes(5000, 1));
        EXPECT_EQ(readFile(locked_), record_);
        EXPECT_EQ(temporaryFiles(folder_.path()), std::vector<std::filesystem::path>{});
    }
    TempFolder folder_;
    const std::filesystem::path plain_ = folder_ / "plain.bin", locked_ = folder_ / "locked.bin";
    std::vector<std::byte> record_;
};

// Refused at once (what takes 5 seconds has blocked), in the system's words
// for names out of reach, never aborting.
TEST_F(PathsTest, OnlyRegularFilesAreReadOrReplacedAndNothingBlocks) {
    const std::filesystem::path fifo = folder_ / "fifo", socket = folder_ / "socket",
                                device = folder_ / "null-device", loop = folder_ / "loop";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    std::filesystem::create_directory(folder_ / "folder");
    sockaddr_un address{AF_UNIX, {}};
    utf8(socket).copy(address.sun_path, sizeof address.sun_path - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(listener);
    std::filesystem::create_symlink("loop", loop);
    std::vector<std::pair<std::filesystem::path, std::string>> cases{
        {fifo, "不是普通文件！    "},
        {socket, ""},
        {folder_ / "folder", ""},
        {folder_ / std::string(300, 'n'), systemText(ENAMETOOLONG)},
        {loop / "x", systemText(ELOOP)}};
    // The same device as /dev/null, made here so that nothing outside the test is replaced.
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
        cases.emplace_back(device, "不是普通文件！    ");
    for (const auto& [path, words] : cases) {
        const mode_t kind = metadataOf(path).mode & S_IFMT;
        for (const std::vector<std::string>& arguments : commandsMeeting(path)) {
            const ChildOutcome outcome = cli(arguments, "pw\n", std::chrono::seconds(5));
            EXPECT_TRUE(ended(outcome, 1)) << ::testing::PrintToString(arguments).substr(0, 200);
            EXPECT_NE(outcome.err.find(words), std::string::npos) << outcome;
            EXPECT_EQ(metadataOf(path).mode & S_IFMT, kind);
        }
    }
    // Root may search any folder; another user may not search this one.
    std::filesystem::create_directory(folder_ / "closed");
    std::filesystem::permissions(folder_ / "closed", std::filesystem::perms::owner_all);
    for (std::vector<std::string> arguments : commandsMeeting(folder_ / "closed" / "x")) {
        if (::geteuid() != 0)
            break;
        arguments.insert(arguments.begin(), CliProgram);
        const ChildOutcome outcome = runChild(asNobody(arguments), {.input = "pw\n"});
        EXPECT_TRUE(ended(outcome, 1));
        EXPECT_NE(outcome.err.find(systemText(EACCES)), std::string::npos) << outcome;
    }
    expectNothingChanged();
}

// A link leads to the file that is replaced; the link stays. An output naming
// a link that leads nowhere counts as existing.
TEST_F(PathsTest, JobsThroughALinkReplaceTheFileItLeadsToAndADanglingOneIsKept) {
    std::filesystem::create_symlink("plain.bin", folder_ / "link");
    for (const std::string command : {"lock", "unlock"}) {
        EXPECT_TRUE(ended(run(command, folder_ / "link", "pw"), 0)) << command;
        EXPECT_EQ(std::filesystem::read_symlink(folder_ / "link"), "plain.bin");
        EXPECT_EQ(readFile(plain_) == patternBytes(5000, 1), command == "unlock");
    }
    const std::filesystem::path out = folder_ / "out";
    std::filesystem::create_symlink("nowhere", out);
    for (const ChildOutcome& outcome :
         {lock(plain_, "pw", {"-o", utf8(out)}), unlock(locked_, "pw", {"-o", utf8(out)})}) {
        EXPECT_TRUE(ended(outcome, 1));
        EXPECT_NE(outcome.err.find("--force"), std::string::npos) << outcome;
    }
    EXPECT_EQ(std::filesystem::read_symlink(out), "nowhere");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "nowhere"));
    expectNothingChanged();
}

// Standard input that cannot be read is no wrong password.
TEST_F(PathsTest, PasswordInputThatIsAFolderIsAReadError) {
    for (const auto& [command, file] : {std::pair{"lock", plain_}, std::pair{"unlock", locked_}}) {
        const ChildOutcome outcome =
            runChild({"sh", "-c", R"(exec "$@" <"$0")", utf8(folder_.path()), CliProgram, command,
                      utf8(file), "--password-stdin"});
        EXPECT_TRUE(ended(outcome, 1));
        EXPECT_NE(outcome.err.find(systemText(EISDIR)), std::string::npos) << outcome;
        EXPECT_EQ(outcome.err.find("密码"), std::string::npos) << outcome;
    }
    expectNothingChanged();
}

// Owner, group, mode and every extended attribute byte for byte (an ACL, the
// DOS attributes as Samba's newer versions store them, and as root trusted
// and security ones) stay on a file replaced in place or an existing OUT; a
// new OUT is a fresh file.
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
    const ChildOutcome acl = runChild({"setfacl", "-m", "u:1234:r", utf8(file)});
    ASSERT_EQ(acl.exitCode, 0) << "setfacl (package acl): " << acl;
    const Metadata before = metadataOf(file), outBefore = metadataOf(out);
    ASSERT_TRUE(before.attributes.contains("system.posix_acl_access")) << before;
    for (const std::string command : {"lock", "unlock"}) {
        EXPECT_TRUE(ended(run(command, file, "pw", {"-o", utf8(out), "--force"}), 0)) << command;
        EXPECT_TRUE(ended(run(command, file, "pw"), 0)) << command;
        EXPECT_EQ(metadataOf(file), before) << command;
        EXPECT_EQ(metadataOf(out), outBefore) << command;
    }
    EXPECT_EQ(readFile(file), patternBytes(5000, 1));

    const mode_t umask = ::umask(0);
    ::umask(umask);
    ASSERT_TRUE(ended(lock(file, "pw", {"-o", utf8(folder / "new.vsk")}), 0));
    EXPECT_EQ(metadataOf(folder / "new.vsk"),
              (Metadata{S_IFREG | (0666 & ~umask), ::geteuid(), ::getegid(), {}}));
}

// At a terminal the password is asked twice for locking, once for unlocking,
// and never shown; the progress bar goes there too.
TEST(TerminalTest, LockAsksTwiceWithoutEchoUnlockOnce) {
    TempFolder folder;
    const std::filesystem::path file = folder / "data.bin";
    writeFile(file, patternBytes(200 * 1024, 9));
    const auto atTerminal = [&](const std::string& command, const std::vector<std::string>& typed) {
        ChildProcess child({CliProgram, command, utf8(file)}, {.terminal = true});
        const std::vector<std::string> questions{"密码：", "确认密码："};
        for (std::size_t i = 0; i < typed.size(); ++i) {
            EXPECT_TRUE(child.waitForError(questions[i])) << questions[i];
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
