#include "Tracing.h"
#include "support/Encipher.h"
#include "support/FileHold.h"

namespace veskard::test {
namespace {

// A file of another user's (when run as root), with a mode a new file would
// not have and an attribute.
class TracedTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!canTrace())
            GTEST_SKIP() << "strace is missing or may not trace here";
        writeFile(file_, plain_);
        ASSERT_EQ(lock(file_, "pw").exitCode, 0);
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
