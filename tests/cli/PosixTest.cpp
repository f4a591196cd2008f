#include "Cli.h"
#include "support/Encipher.h"
#include "support/FileHold.h"

#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace veskard::test {
namespace {

constexpr uid_t NobodyId = 65534;

// Kind, permissions, owner and every extended attribute, never following a link.
std::string metadataOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return "missing";
    std::map<std::string, std::string> attributes;
    std::string names(65536, '\0'), value(65536, '\0');
    const ssize_t length = ::llistxattr(path.c_str(), names.data(), names.size());
    for (const char* name = names.data(); name < names.data() + std::max<ssize_t>(length, 0);
         name += std::strlen(name) + 1) {
        const ssize_t size = ::lgetxattr(path.c_str(), name, value.data(), value.size());
        attributes[name] = value.substr(0, static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
    }
    std::ostringstream out;
    out << std::oct << info.st_mode << std::dec << ' ' << info.st_uid << ':' << info.st_gid;
    for (const auto& [name, bytes] : attributes)
        out << ' ' << name << '=' << ::testing::PrintToString(bytes);
    return out.str();
}

// Gives `path` this mode, owner (when run as root) and these attributes.
bool setMetadata(const std::filesystem::path& path, mode_t mode, uid_t owner,
                 const std::map<std::string, std::string>& attributes = {}) {
    bool ok = (::geteuid() != 0 || ::chown(path.c_str(), owner, owner) == 0) &&
              ::chmod(path.c_str(), mode) == 0;
    for (const auto& [name, value] : attributes)
        ok = ok && ::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
    return ok;
}

bool canTrace() {
    static const bool can = runChild({"sh", "-c", "strace -qq -o /dev/null true"}).exitCode == 0;
    return can;
}

// strace's inject= `action` ("error=EIO:when=3", "delay_enter=300000",
// "signal=SIGKILL") on `calls` (comma-separated), or none to only log them;
// `also` is a second action on other calls.
struct Tampering {
    std::string calls, action;
    std::filesystem::path log = "/dev/null";
    std::pair<std::string, std::string> also = {};
};

std::vector<std::string> tampered(const Tampering& t, const std::vector<std::string>& args) {
    // LeakSanitizer cannot work under a tracer.
    std::vector<std::string> argv{
        "strace", "-f",          "-qq", "-E",       "ASAN_OPTIONS=detect_leaks=0",
        "-e",     "signal=none", "-o",  utf8(t.log)};
    argv.insert(argv.end(),
                {"-e", "trace=" + t.calls + (t.also.first.empty() ? "" : ",") + t.also.first});
    if (!t.action.empty())
        argv.insert(argv.end(), {"-e", "inject=" + t.calls + ":" + t.action});
    if (!t.also.first.empty())
        argv.insert(argv.end(), {"-e", "inject=" + t.also.first + ":" + t.also.second});
    argv.insert(argv.end(), {"--", CliProgram});
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

// How often veskard-cli with `arguments` makes the system call `call`.
int countCalls(const std::string& call, const std::vector<std::string>& arguments,
               const std::filesystem::path& log) {
    (void)runChild(tampered({call, {}, log}, arguments), {.input = "pw\n"});
    std::istringstream lines(readText(log));
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.find(call + "(") != std::string::npos;
    return count;
}

std::vector<std::string> asNobody(std::vector<std::string> argv) {
    argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    return argv;
}

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
    ASSERT_TRUE(ended(run("lock", file, "pw", {"-o", utf8(folder / "new.vsk")}), 0));
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

// A file of another user's (when run as root), with a mode a new file would
// not have and an attribute.
class TracedTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!canTrace())
            GTEST_SKIP() << "strace is missing or may not trace here";
        writeFile(file_, plain_);
        ASSERT_EQ(run("lock", file_, "pw").exitCode, 0);
        record_ = readFile(file_);
    }
    void prepare(const std::string& command) {
        for (const std::filesystem::path& left : temporaryFiles(folder_.path()))
            std::filesystem::remove(left);
        std::filesystem::remove(file_);
        writeFile(file_, command == "lock" ? plain_ : record_);
        ASSERT_TRUE(setMetadata(file_, 0640, NobodyId, {{"user.comment", "kept"}}) ||
                    setMetadata(file_, 0640, NobodyId));
        before_ = metadataOf(file_);
    }
    std::vector<std::string> arguments(const std::string& command) const {
        return {command, utf8(file_), "--password-stdin"};
    }
    ChildOutcome runTampered(const Tampering& tampering, const std::string& command) {
        return runChild(tampered(tampering, arguments(command)), {.input = "pw\n"});
    }
    void start(std::optional<ChildProcess>& run, const Tampering& tampering,
               const std::string& command, const std::function<bool()>& ready) {
        run.emplace(tampered(tampering, arguments(command)), ChildOptions{.input = "pw\n"});
        ASSERT_TRUE(waitUntil(ready)) << run->finish();
    }

    // Whatever fails, the file is either as it was (exit 1, said why, nothing
    // left behind) or the whole result with its mode, owner and attributes
    // (exit 0, with a warning for a failure after the rename); what a killed
    // run left no one else reads.
    bool isSafe(const std::string& command, const ChildOutcome& run, bool mustWarn = false,
                const std::string& failureText = {}) {
        const bool killed = run.signal == SIGKILL && !run.hung;
        for (const std::filesystem::path& left : temporaryFiles(folder_.path()))
            if (!killed || (std::filesystem::status(left).permissions() &
                            std::filesystem::perms::others_all) != std::filesystem::perms::none)
                return false;
        const std::vector<std::byte> bytes = readFile(file_);
        if (metadataOf(file_) != before_ || run.hung)
            return false;
        if (bytes == (command == "lock" ? plain_ : record_))
            return killed || (run.exitCode == 1 && !run.err.starts_with("有另外一个程序") &&
                              (failureText.empty() || run.err == failureText));
        const bool done = (command == "lock" ? decipher(bytes) : bytes) == plain_;
        return done && (killed || (run.exitCode == 0 &&
                                   (run.err.empty() ? !mustWarn
                                                    : run.err.starts_with("veskard-cli: 警告："))));
    }

    TempFolder folder_;
    const std::filesystem::path file_ = folder_ / "data.bin";
    const std::vector<std::byte> plain_ = patternBytes(300 * 1024, 3);
    std::vector<std::byte> record_;
    std::string before_;
};

struct Fault {
    std::string name;
    std::string calls; // each swept in turn
    std::string action;
    bool afterStart = false; // only the calls past those `--version` makes
    bool mustWarn = false;   // failing after the rename, the job warns
    std::string failureText = {};
    friend void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }
};

class ReplaceFaultTest : public TracedTest, public ::testing::WithParamInterface<Fault> {};

// Both jobs, the fault's action done to each of a spread of the calls they make.
TEST_P(ReplaceFaultTest, TheFileIsOldOrNewAndSaysSo) {
    const Fault& fault = GetParam();
#if defined(__SANITIZE_ADDRESS__)
    if (fault.action.starts_with("error=ENOSPC") || fault.action.starts_with("retval"))
        GTEST_SKIP() << "the sanitizers' runtime writes too";
#endif
    int shown = 0;
    for (const std::string command : {"lock", "unlock"}) {
        std::istringstream calls(fault.calls);
        for (std::string call; std::getline(calls, call, ',');) {
            const int first =
                fault.afterStart ? countCalls(call, {"--version"}, folder_ / "log") : 0;
            prepare(command);
            const int last = countCalls(call, arguments(command), folder_ / "log");
            const int step = std::max(1, (last - first - 1) / 4);
            for (int n = first + 1; n <= last; ++n) {
                // Of many calls (a read of each piece) the ends and some between.
                if (n - first > 2 && last - n >= 2 && (n - first - 1) % step != 0)
                    continue;
                prepare(command);
                const auto run =
                    runTampered({call, fault.action + ":when=" + std::to_string(n)}, command);
                if (!isSafe(command, run, fault.mustWarn, fault.failureText) && ++shown <= 8)
                    ADD_FAILURE() << command << ", " << call << " " << n << " of " << last << "\n"
                                  << run << "\nfile: " << metadataOf(file_)
                                  << "\nwas:  " << before_;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    , ReplaceFaultTest,
    ::testing::Values(Fault{"MetadataNotGiven",
                            "chmod,fchmod,fchmodat,chown,fchown,fchownat,lchown,setxattr,"
                            "fsetxattr,lsetxattr,removexattr,fremovexattr",
                            "error=EPERM"},
                      Fault{"FileNotLookedAt", "newfstatat,fstat,statx,lstat,stat", "error=EIO",
                            true},
                      // Syncing the folder after the rename is the last step: a warning.
                      Fault{"FailedSyncs", "fsync,fdatasync", "error=EIO", false, true},
                      Fault{"FullDisk", "write,pwrite64", "error=ENOSPC", false, false,
                            systemText(ENOSPC) + "！    \n"},
                      Fault{"LostWrites", "write,pwrite64", "retval=1"},
                      Fault{"Killed",
                            "write,pwrite64,fsync,fdatasync,pread64,read,fchmod,fchown,fsetxattr,"
                            "rename,renameat,renameat2,close",
                            "signal=SIGKILL"}),
    [](const auto& row) { return row.param.name; });

// Locks are refused on NFS without its lock service. An interrupt (SIGTERM
// takes the same handler) comes at the temporary file's sync, the later fchmod slowed so that it is
// seen before the last look.
TEST_F(TracedTest, WithoutLocksJobsGoOnInterruptedTheyStopAndTheFolderIsSyncedLast) {
    for (const std::string command : {"lock", "unlock"}) {
        prepare(command);
        const ChildOutcome run = runTampered({"flock", "error=ENOLCK"}, command);
        EXPECT_TRUE(ended(run, 0, ""));
        EXPECT_TRUE(isSafe(command, run));
        prepare(command);
        const ChildOutcome stopped = runTampered(
            {"fsync", "signal=SIGINT:when=1", "/dev/null", {"fchmod", "delay_enter=300000"}},
            command);
        EXPECT_TRUE(ended(stopped, 1));
        EXPECT_TRUE(isSafe(command, stopped));
        (void)runTampered(
            {"fchmod,fchown,fsetxattr,fsync,rename,renameat,renameat2", "", folder_ / "log"},
            command);
        const std::string calls = readText(folder_ / "log");
        const std::size_t renamed = calls.find("rename");
        const std::size_t given =
            std::max({calls.rfind("fchmod(", renamed), calls.rfind("fchown(", renamed),
                      calls.rfind("fsetxattr(", renamed)});
        EXPECT_LT(calls.find("fsync(", given), renamed) << "metadata not synced: " << calls;
        EXPECT_NE(calls.find("fsync(", renamed), std::string::npos) << calls;
    }
}

// The job slowed at the rename keeps out other programs that lock, even to
// read; one slowed at its lock leaves a file replaced meanwhile to the newcomer.
TEST_F(TracedTest, WritersWithALockWaitAndAFileReplacedBeforeTheLockIsLeftAlone) {
    const std::filesystem::path log = folder_ / "calls.log";
    for (const std::string command : {"lock", "unlock"}) {
        SCOPED_TRACE(command);
        prepare(command);
        std::optional<ChildProcess> run;
        start(run, {"rename,renameat,renameat2", "delay_enter=1500000", log}, command,
              [&] { return readText(log).find("rename") != std::string::npos; });
        for (const std::string way : {"flock-shared", "fcntl-read"})
            EXPECT_THROW(FileHold(file_, way), std::runtime_error) << way << " let a reader in";
        EXPECT_EQ(run->finish().exitCode, 0);

        prepare(command);
        std::filesystem::remove(log);
        start(run, {"flock", "delay_enter=1500000", log}, command,
              [&] { return readText(log).find("flock") != std::string::npos; });
        writeFile(folder_ / "newer", patternBytes(4000, 9));
        std::filesystem::rename(folder_ / "newer", file_);
        EXPECT_TRUE(ended(run->finish(), 1));
        EXPECT_EQ(readFile(file_), patternBytes(4000, 9));
    }
}

// In a folder another user may write to.
TEST_F(TracedTest, NewContentIsTheUsersAloneAndATemporaryFileSwappedForALinkIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    const std::filesystem::path secret = folder_ / "secret";
    ASSERT_TRUE(setMetadata(folder_.path(), 0755, NobodyId));
    for (const std::string command : {"lock", "unlock"}) {
        SCOPED_TRACE(command);
        prepare(command);
        writeFile(secret, patternBytes(100, 6));
        ASSERT_TRUE(setMetadata(secret, 0600, 0));
        const std::string secretBefore = metadataOf(secret);
        std::optional<ChildProcess> run;
        std::filesystem::path temporary;
        // Held up for two seconds once its temporary file is written, before anything
        // is checked or renamed: at the first fsync, which no runtime makes.
        start(run, {"fsync", "delay_enter=2000000:when=1"}, command, [&] {
            const auto found = temporaryFiles(folder_.path());
            temporary = found.empty() ? "" : found.front();
            return !found.empty();
        });
        EXPECT_TRUE(metadataOf(temporary).starts_with("100600 0:")) << metadataOf(temporary);
        EXPECT_NE(runChild(asNobody({"head", "-c", "1", utf8(temporary)})).exitCode, 0);
        ASSERT_EQ(runChild(asNobody({"sh", "-c", R"(rm -f "$1" && ln -s "$2" "$1")", "sh",
                                     utf8(temporary), utf8(secret)}))
                      .exitCode,
                  0);
        const ChildOutcome outcome = run->finish();
        EXPECT_EQ(metadataOf(secret), secretBefore);
        EXPECT_EQ(readFile(secret), patternBytes(100, 6));
        EXPECT_TRUE(std::filesystem::is_symlink(temporary)) << "what was planted stays";
        std::filesystem::remove(temporary);
        EXPECT_TRUE(ended(outcome, 1) && isSafe(command, outcome));
    }
    // Nor can they put a file of theirs under the temporary name first: with
    // getrandom leaving its letters unfilled, that name is known.
    prepare("lock");
    const auto planted = writeFile(folder_ / ".data.bin.aaaaaaaa.tmp", patternBytes(100, 6));
    ASSERT_TRUE(setMetadata(planted, 0666, NobodyId));
    const std::string plantedBefore = metadataOf(planted);
    (void)runTampered({"getrandom", "retval=8"}, "lock");
    EXPECT_EQ(metadataOf(planted), plantedBefore);
    EXPECT_EQ(readFile(planted), patternBytes(100, 6));
    std::filesystem::remove(planted);
    // A read-only file of one's own cannot be opened for writing, and need not
    // be; another program reading it under a lock still keeps the job out.
    const std::filesystem::path own = folder_ / "own", file = own / "read-only.doc";
    std::filesystem::create_directory(own);
    writeFile(file, patternBytes(5000, 7));
    ASSERT_TRUE(setMetadata(own, 0755, NobodyId) && setMetadata(file, 0444, NobodyId));
    const std::string before = metadataOf(file);
    const auto byItsOwner = [&](const std::string& command) {
        return runChild(asNobody({CliProgram, command, utf8(file), "--password-stdin"}),
                        {.input = "pw\n"});
    };
    {
        const FileHold reader(file, "fcntl-read");
        EXPECT_TRUE(ended(byItsOwner("lock"), 1, printed(engine::Messages::encryptHeld())));
    }
    for (const std::string command : {"lock", "unlock"}) {
        EXPECT_TRUE(ended(byItsOwner(command), 0)) << command;
        EXPECT_EQ(metadataOf(file), before);
    }
    EXPECT_EQ(readFile(file), patternBytes(5000, 7));
}

} // namespace
} // namespace veskard::test
