#include "Tracing.h"

#include <fcntl.h>
#include <regex>
#include <sys/file.h>

// Jobs under strace: system calls failing, slowed down or killed at chosen
// steps, other programs and other users acting meanwhile.
namespace veskard::test {
namespace {

const std::vector<std::string> BothCommands{"lock", "unlock"};

// A file of another user's, with a mode a new file would not have and the
// attributes given, in place for `command`; the lock or unlock of it.
class TracedJob : public ::testing::Test {
protected:
    void SetUp() override {
        if (!canTrace())
            GTEST_SKIP() << "strace is missing or may not trace here";
        writeFile(file_, plain_);
        ASSERT_EQ(lock(file_, "pw").exitCode, 0);
        record_ = readFile(file_);
    }
    void prepare(const std::string& command) {
        std::filesystem::remove(file_);
        for (const std::filesystem::path& left : temporaryFiles(folder_.path()))
            std::filesystem::remove(left);
        writeFile(file_, command == "lock" ? plain_ : record_);
        ASSERT_TRUE(setMetadata(file_, 0640, NobodyId, attributes_));
        before_ = metadataOf(file_);
    }
    std::vector<std::string> arguments(const std::string& command) const {
        return {command, utf8(file_), "--password-stdin"};
    }
    ChildOutcome runTampered(const Tampering& tampering, const std::string& command) {
        return runChild(tampered(tampering, arguments(command)), {.input = "pw\n"});
    }

    TempFolder folder_;
    const std::filesystem::path file_ = folder_ / "data.bin";
    const std::vector<std::byte> plain_ = patternBytes(300 * 1024, 3);
    std::vector<std::byte> record_;
    std::map<std::string, std::string> attributes_;
    Metadata before_;
};

// One system call after another failing or killing the program. Whatever
// fails, the file is either as it was (exit 1, nothing left behind) or the
// whole result with its mode, owner and attributes (exit 0, with a warning
// for a failure after the rename); what a killed run left no one else reads.
class ReplaceFaultTest : public TracedJob {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "giving the file to another user needs root";
        TracedJob::SetUp();
    }

    bool isResult(const std::string& command, const std::vector<std::byte>& bytes) {
        if (command == "unlock")
            return bytes == plain_;
        const std::filesystem::path check = folder_ / "check";
        return bytes != plain_ &&
               unlock(file_, "pw", {"-o", utf8(check), "--force"}).exitCode == 0 &&
               readFile(check) == plain_;
    }

    // What went wrong in one run, or nothing.
    std::string breach(const std::string& command, const ChildOutcome& run, bool mustWarn = false,
                       const std::string& failureText = {}) {
        if (run.hung)
            return "never ended";
        const bool killed = run.signal == SIGKILL;
        for (const std::filesystem::path& left : temporaryFiles(folder_.path())) {
            if (!killed)
                return "left " + utf8(left.filename()) + " behind";
            if (metadataOf(left).mode & S_IRWXO)
                return "left " + utf8(left.filename()) + " open to other users";
        }
        const std::vector<std::byte> bytes = readFile(file_);
        const bool sameMetadata = metadataOf(file_) == before_;
        const bool untouched = sameMetadata && bytes == (command == "lock" ? plain_ : record_);
        const bool done = sameMetadata && !untouched && isResult(command, bytes);
        if (killed)
            return untouched || done ? "" : "killed, it left neither the old file nor the new";
        if (run.exitCode == 1 && !untouched)
            return "failed, yet the file changed";
        if (run.exitCode == 1 && (run.err == printed(engine::Messages::encryptHeld()) ||
                                  run.err == printed(engine::Messages::restoreHeld())))
            return "blamed another program";
        if (run.exitCode == 1 && !failureText.empty() && run.err != failureText)
            return "failed and said something else";
        if (run.exitCode == 0 && !done)
            return "succeeded without the whole result and its metadata";
        if (run.exitCode == 0 &&
            (run.err.empty() ? mustWarn : !run.err.starts_with("veskard-cli: 警告：")))
            return "succeeded and said nothing of the failure, or more than a warning";
        return run.exitCode == 0 || run.exitCode == 1 ? "" : "exit " + std::to_string(run.exitCode);
    }

    // Both jobs, once for each of a spread of the calls of `calls` they make
    // (past those `--version` makes, when `afterStart`), with strace doing
    // `action` to that one call.
    void sweep(const std::vector<std::string>& calls, const std::string& action,
               bool afterStart = false, bool mustWarn = false,
               const std::string& failureText = {}) {
        int shown = 0;
        for (const std::string& command : BothCommands) {
            for (const std::string& call : calls) {
                const int first =
                    afterStart ? countCalls(call, {"--version"}, "", folder_ / "log") : 0;
                prepare(command);
                const int last = countCalls(call, arguments(command), "pw\n", folder_ / "log");
                const int step = std::max(1, (last - first - 1) / 4);
                for (int n = first + 1; n <= last; ++n) {
                    // Of many calls (a read of each piece) the ends and some between.
                    if (n - first > 2 && last - n >= 2 && (n - first - 1) % step != 0)
                        continue;
                    prepare(command);
                    const ChildOutcome run =
                        runTampered({call, action + ":when=" + std::to_string(n)}, command);
                    const std::string what = breach(command, run, mustWarn, failureText);
                    if (!what.empty() && ++shown <= 8)
                        ADD_FAILURE()
                            << command << ", " << call << " " << n << " of " << last << " "
                            << action << ": " << what << "\n"
                            << run << "\nfile: " << metadataOf(file_) << "\nwas:  " << before_;
                }
            }
        }
    }
};

TEST_F(ReplaceFaultTest, MetadataThatCannotBeGivenOrAFileThatCannotBeLookedAtFailsTheJob) {
    attributes_ = {{"user.comment", "kept"}};
    sweep({"chmod", "fchmod", "fchmodat", "chown", "fchown", "fchownat", "lchown", "setxattr",
           "fsetxattr", "lsetxattr", "removexattr", "fremovexattr"},
          "error=EPERM");
    sweep({"newfstatat", "fstat", "statx", "lstat", "stat"}, "error=EIO", true);
}

// Syncing the folder after the rename is the last step: the job has done its
// work by then, and says so, with a warning.
TEST_F(ReplaceFaultTest, FailedSyncsFailTheJobUntilTheRenameAndWarnAfterIt) {
    sweep({"fsync", "fdatasync"}, "error=EIO", false, true);
    for (const std::string& command : BothCommands) {
        prepare(command);
        (void)runTampered({"rename,renameat,renameat2,fsync", "", folder_ / "log"}, command);
        const std::string calls = contentOf(folder_ / "log");
        EXPECT_NE(calls.find("fsync(", calls.find("rename")), std::string::npos) << calls;
    }
}

// A full disk is told as what it is; so is a write that claims one byte and
// wrote nothing. The sanitizers' runtime writes too: the plain build sweeps.
TEST_F(ReplaceFaultTest, FullDiskAndLostWritesFailTheJobAndSaySo) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' runtime writes too";
#endif
    sweep({"write", "pwrite64"}, "error=ENOSPC", false, false, systemText(ENOSPC) + "！    \n");
    sweep({"write", "pwrite64"}, "retval=1");
}

TEST_F(ReplaceFaultTest, KilledAtAnyStepTheFileIsOldOrNewAndNothingLeaks) {
    sweep({"write", "pwrite64", "fsync", "fdatasync", "pread64", "read", "fchmod", "fchown",
           "fsetxattr", "rename", "renameat", "renameat2", "close"},
          "signal=SIGKILL");
}

// Where locks are refused (NFS without its lock service), the jobs go on
// silently. Interrupted (at the temporary file's sync, with the later fchmod
// slowed so that the signal is seen before the last look), they stop cleanly.
TEST_F(ReplaceFaultTest, WithoutLocksJobsGoOnAndInterruptedTheyStopCleanly) {
    for (const std::string& command : BothCommands) {
        prepare(command);
        const ChildOutcome run = runTampered({"flock", "error=ENOLCK"}, command);
        EXPECT_TRUE(ended(run, 0, ""));
        EXPECT_EQ(breach(command, run), "");
        for (const std::string signal : {"SIGINT", "SIGTERM"}) {
            prepare(command);
            const ChildOutcome stopped = runTampered({"fsync",
                                                      "signal=" + signal + ":when=1",
                                                      "/dev/null",
                                                      {"fchmod", "delay_enter=300000"}},
                                                     command);
            EXPECT_TRUE(ended(stopped, 1)) << signal;
            EXPECT_EQ(breach(command, stopped), "") << signal;
        }
    }
}

// Other programs changing the file while a job runs (slowed by strace where
// it matters): what they write is never lost, and a job never reports a
// success that another undid; those that lock wait until the new file is in place.
using ConcurrentChangeTest = TracedJob;

TEST_F(ConcurrentChangeTest, WritersWithoutALockAreNeverLostThoseWithOneWait) {
    for (const std::string& command : BothCommands) {
        SCOPED_TRACE(command);
        prepare(command);
        std::vector<std::byte> expected = readFile(file_);
        std::optional<ChildProcess> run;
        startTampered(run, SlowWriting, command, file_,
                      [&] { return !temporaryFiles(folder_.path()).empty(); });
        std::ofstream(file_, std::ios::app | std::ios::binary) << "appended";
        for (const char c : std::string("appended"))
            expected.push_back(static_cast<std::byte>(c));
        EXPECT_TRUE(ended(run->finish(), 1));
        EXPECT_TRUE(readFile(file_) == expected) << "the appended bytes were lost";
        EXPECT_EQ(temporaryFiles(folder_.path()), std::vector<std::filesystem::path>{});

        prepare(command);
        const std::filesystem::path log = folder_ / "calls.log";
        std::filesystem::remove(log);
        startTampered(run, {"rename,renameat,renameat2", "delay_enter=1500000", log}, command,
                      file_, [&] { return contentOf(log).find("rename") != std::string::npos; });
        const int descriptor = ::open(file_.c_str(), O_RDWR | O_CLOEXEC);
        EXPECT_NE(::flock(descriptor, LOCK_EX | LOCK_NB), 0) << "flock let another writer in";
        struct flock range {};
        range.l_type = F_WRLCK;
        EXPECT_NE(::fcntl(descriptor, F_SETLK, &range), 0) << "fcntl let another writer in";
        ::close(descriptor);
        EXPECT_EQ(run->finish().exitCode, 0);
    }
}

// Replaced while the job waits for its lock, the file is left to the newcomer.
TEST_F(ConcurrentChangeTest, FileReplacedBeforeTheLockIsTakenIsLeftAlone) {
    for (const std::string& command : BothCommands) {
        prepare(command);
        const std::filesystem::path log = folder_ / "calls.log";
        std::filesystem::remove(log);
        std::optional<ChildProcess> run;
        startTampered(run, {"flock", "delay_enter=1500000", log}, command, file_,
                      [&] { return contentOf(log).find("flock") != std::string::npos; });
        writeFile(folder_ / "newer", patternBytes(4000, 9));
        std::filesystem::rename(folder_ / "newer", file_);
        EXPECT_TRUE(ended(run->finish(), 1)) << command;
        EXPECT_EQ(readFile(file_), patternBytes(4000, 9));
    }
}

// Another user, while a job writes, never reads the new content (mode 0600),
// and cannot slip a link in under the temporary name in a folder they may
// write to: nothing follows it, and it never takes the file's place.
class OtherUserTest : public TracedJob {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "acting as another user needs root";
        TracedJob::SetUp();
    }
};

TEST_F(OtherUserTest, NewContentIsTheUsersAloneAndATemporaryFileSwappedForALinkIsRefused) {
    const std::filesystem::path secret = folder_ / "secret";
    ASSERT_TRUE(setMetadata(folder_.path(), 0755, NobodyId));
    for (const bool swap : {false, true}) {
        for (const std::string& command : BothCommands) {
            SCOPED_TRACE(command + (swap ? ", swapped" : ""));
            prepare(command);
            const std::vector<std::byte> bytesBefore = readFile(file_);
            writeFile(secret, patternBytes(100, 6));
            ASSERT_TRUE(setMetadata(secret, 0600, 0));
            std::optional<ChildProcess> run;
            std::filesystem::path temporary;
            startTampered(run, SlowWriting, command, file_, [&] {
                const auto found = temporaryFiles(folder_.path());
                if (!found.empty())
                    temporary = found.front();
                return !found.empty();
            });
            EXPECT_TRUE(std::regex_match(utf8(temporary.filename()),
                                         std::regex(R"(\.data\.bin\.[^.]{8}\.tmp)")));
            EXPECT_EQ(metadataOf(temporary).mode & 07777, 0600u);
            EXPECT_EQ(metadataOf(temporary).owner, 0u);
            EXPECT_NE(runChild(asNobody({"head", "-c", "1", utf8(temporary)})).exitCode, 0);
            if (swap) {
                ASSERT_TRUE(ended(runChild(asNobody({"sh", "-c", R"(rm -f "$1" && ln -s "$2" "$1")",
                                                     "sh", utf8(temporary), utf8(secret)})),
                                  0));
            }
            EXPECT_TRUE(ended(run->finish(), swap ? 1 : 0));
            EXPECT_EQ(metadataOf(secret), (Metadata{S_IFREG | 0600, 0, 0, {}}));
            EXPECT_EQ(readFile(secret), patternBytes(100, 6));
            EXPECT_EQ(metadataOf(file_), before_);
            EXPECT_EQ(readFile(file_) == bytesBefore, swap);
            EXPECT_EQ(std::filesystem::is_symlink(temporary), swap) << "what was planted stays";
            std::filesystem::remove(temporary);
        }
    }
}

// A read-only file of one's own cannot be opened for writing, and need not be.
TEST_F(OtherUserTest, UsersOwnReadOnlyFileLocksAndUnlocksInPlace) {
    const std::filesystem::path own = folder_ / "own", file = own / "read-only.doc";
    std::filesystem::create_directory(own);
    ASSERT_TRUE(setMetadata(own, 0755, NobodyId));
    writeFile(file, patternBytes(5000, 7));
    ASSERT_TRUE(setMetadata(file, 0444, NobodyId));
    const Metadata before = metadataOf(file);
    for (const std::string& command : BothCommands) {
        const ChildOutcome run = runChild(
            asNobody({CliProgram, command, utf8(file), "--password-stdin"}), {.input = "pw\n"});
        EXPECT_TRUE(ended(run, 0)) << command;
        EXPECT_EQ(metadataOf(file), before);
    }
    EXPECT_EQ(readFile(file), patternBytes(5000, 7));
}

} // namespace
} // namespace veskard::test
