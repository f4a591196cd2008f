#include "Cli.h"
#include "FileState.h"
#include "Tracing.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>

// An in-place lock or unlock run again and again, with one system call after
// another failing or killing the program. Whatever fails, the file is either
// as it was (exit 1, nothing left behind) or the whole result with the
// file's mode, owner and attributes (exit 0); and no one else can read what
// a killed run left.
namespace veskard::test {
namespace {

enum class Job { Lock, Unlock };

const std::string Password = "pw";
const std::string Warning = "veskard-cli: 警告：";

// One system call after another failing the same way: strace's inject=
// `action` ("error=EIO") done to each of `calls` in turn.
struct Sweep {
    std::vector<std::string> calls;
    std::string action;
    // Calls this command line makes come first and are left alone: the
    // program's start, where the dynamic loader cannot fail gracefully.
    std::vector<std::string> startAfter = {};
    // A success must warn: each of these failures matters.
    bool mustWarn = false;
    // What a failure must print, when it matters.
    std::string failureText = {};
};

// Which of the calls first..last to tamper with: every one of a few, and of
// many (a read of each piece) the first and last few and some between.
std::vector<int> spread(int first, int last) {
    std::vector<int> picked;
    for (int n = first; n <= last; ++n) {
        const int fromEnd = last - n;
        if (n - first < 2 || fromEnd < 2 || (n - first) % std::max(1, (last - first) / 4) == 0)
            picked.push_back(n);
    }
    return picked;
}

class ReplaceFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!canTrace())
            GTEST_SKIP() << "strace is missing or may not trace here";
        if (::geteuid() != 0)
            GTEST_SKIP() << "giving the file to another user needs root";
        writeFile(file_, plain_);
        ASSERT_EQ(lock(file_, Password).exitCode, 0);
        record_ = readFile(file_);
    }

    std::vector<std::string> arguments(Job job) const {
        return {job == Job::Lock ? "lock" : "unlock", utf8(file_), "--password-stdin"};
    }

    // The file as the job finds it: another user's, with a mode a new file
    // would not have, and the attributes given.
    void prepare(Job job) {
        std::filesystem::remove(file_);
        for (const std::filesystem::path& left : temporaryFiles(folder_.path()))
            std::filesystem::remove(left);
        writeFile(file_, job == Job::Lock ? plain_ : record_);
        ASSERT_TRUE(setMetadata(file_, 0640, NobodyId, attributes_));
        before_ = metadataOf(file_);
    }

    bool isResult(Job job, const std::vector<std::byte>& bytes) {
        if (job == Job::Unlock)
            return bytes == plain_;
        const std::filesystem::path check = folder_ / "check";
        return bytes != plain_ &&
               unlock(file_, Password, {"-o", utf8(check), "--force"}).exitCode == 0 &&
               readFile(check) == plain_;
    }

    // What went wrong in one run, or nothing.
    std::string breach(Job job, const ChildOutcome& run,
                       const std::optional<Sweep>& sweep = std::nullopt) {
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
        const bool untouched = sameMetadata && bytes == (job == Job::Lock ? plain_ : record_);
        if (killed)
            return untouched || (sameMetadata && isResult(job, bytes))
                       ? ""
                       : "killed, it left a file that is neither the old nor the new one";
        if (run.exitCode == 1 && !untouched)
            return "failed, yet the file changed";
        if (run.exitCode == 1 && (run.err == printed(engine::Messages::encryptHeld()) ||
                                  run.err == printed(engine::Messages::restoreHeld())))
            return "blamed another program";
        if (run.exitCode == 1 && sweep && !sweep->failureText.empty() &&
            run.err != sweep->failureText)
            return "failed and said something else";
        if (run.exitCode == 0 && !(sameMetadata && isResult(job, bytes)))
            return "succeeded without the whole result and its metadata";
        if (run.exitCode == 0 &&
            (run.err.empty() ? (sweep && sweep->mustWarn) : !run.err.starts_with(Warning)))
            return "succeeded and said nothing of the failure, or more than a warning";
        if (run.exitCode != 0 && run.exitCode != 1)
            return "exit status " + std::to_string(run.exitCode);
        return "";
    }

    // Runs the job once for each call of `sweep.calls` it makes, with strace
    // doing `sweep.action` to that one call. Fails with each breach and the
    // call that caused it, the first one's run in full.
    ::testing::AssertionResult survives(Job job, const Sweep& sweep) {
        std::ostringstream breaches;
        int shown = 0;
        for (const std::string& call : sweep.calls) {
            const int skip = sweep.startAfter.empty()
                                 ? 0
                                 : countCalls(call, sweep.startAfter, "", folder_ / "log");
            prepare(job);
            const int count = countCalls(call, arguments(job), Password + "\n", folder_ / "log");
            for (const int n : spread(skip + 1, count)) {
                prepare(job);
                const ChildOutcome run = runChild(
                    tampered({call, sweep.action + ":when=" + std::to_string(n)}, arguments(job)),
                    {.input = Password + "\n"});
                const std::string what = breach(job, run, sweep);
                if (what.empty())
                    continue;
                const bool first = shown == 0;
                if (++shown > 8)
                    continue;
                breaches << (job == Job::Lock ? "lock" : "unlock") << ", " << call << " " << n
                         << " of " << count << " " << sweep.action << ": " << what << "\n";
                if (first)
                    breaches << run << "\nfile: " << metadataOf(file_) << "\nwas:  " << before_
                             << "\n";
            }
        }
        if (shown == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << shown << " runs went wrong:\n" << breaches.str();
    }

    TempFolder folder_;
    const std::filesystem::path file_ = folder_ / "data.bin";
    const std::vector<std::byte> plain_ = patternBytes(300 * 1024, 3);
    std::vector<std::byte> record_;
    std::map<std::string, std::string> attributes_;
    Metadata before_;
};

const std::vector<Job> BothJobs{Job::Lock, Job::Unlock};

// Owner, mode and attributes that cannot be given fail the job before the
// rename, however they are given; so does a file that cannot be looked at.
TEST_F(ReplaceFaultTest, MetadataThatCannotBeGivenFailsTheJob) {
    attributes_ = {{"user.comment", "kept"}};
    for (const Job job : BothJobs) {
        EXPECT_TRUE(
            survives(job, {{"chmod", "fchmod", "fchmodat", "chown", "fchown", "fchownat", "lchown",
                            "setxattr", "fsetxattr", "lsetxattr", "removexattr", "fremovexattr"},
                           "error=EPERM"}));
        EXPECT_TRUE(survives(job, {.calls = {"newfstatat", "fstat", "statx", "lstat", "stat"},
                                   .action = "error=EIO",
                                   .startAfter = {"--version"}}));
    }
}

// Syncing the folder after the rename is the last step: the job has done
// its work by then, and says it did, with a warning. The new file is synced
// again once its mode is given, so that a crash cannot leave it in place
// without its mode, owner and attributes.
TEST_F(ReplaceFaultTest, FailedSyncsFailTheJobUntilTheRenameAndWarnAfterIt) {
    const std::filesystem::path log = folder_ / "log";
    for (const Job job : BothJobs) {
        EXPECT_TRUE(survives(
            job, {.calls = {"fsync", "fdatasync"}, .action = "error=EIO", .mustWarn = true}));
        prepare(job);
        ASSERT_TRUE(
            ended(runChild(tampered({"fchmod,fsync,fdatasync,rename,renameat,renameat2", {}, log},
                                    arguments(job)),
                           {.input = Password + "\n"}),
                  0));
        std::string calls; // one letter a call: m(ode), s(ync), r(ename)
        std::ifstream lines(log);
        for (std::string line; std::getline(lines, line);) {
            if (line.find("resumed>") == std::string::npos)
                calls += line.find("sync(") != std::string::npos    ? 's'
                         : line.find("rename") != std::string::npos ? 'r'
                                                                    : 'm';
        }
        EXPECT_TRUE(calls.ends_with("msrs")) << calls;
    }
}

// A file system that takes no locks (NFS without its lock service) refuses
// them with ENOLCK: the jobs go on without them, and say nothing of it.
TEST_F(ReplaceFaultTest, WhereNoLocksCanBeTakenTheJobsGoOn) {
    for (const Job job : BothJobs) {
        prepare(job);
        const ChildOutcome run =
            runChild(tampered({.calls = "flock", .action = "error=ENOLCK"}, arguments(job)),
                     {.input = Password + "\n"});
        EXPECT_TRUE(ended(run, 0));
        EXPECT_EQ(breach(job, run), "");
    }
}

// A full disk at any write is told as what it is, and so is content that
// did not reach the disk as it was written: a write that claims to have
// written one byte and wrote nothing.
TEST_F(ReplaceFaultTest, FullDiskAndLostWritesFailTheJobAndSaySo) {
    if (SanitizerWrites)
        GTEST_SKIP() << "the sanitizers' runtime writes too; the plain build sweeps the writes";
    for (const Job job : BothJobs) {
        EXPECT_TRUE(survives(job, {.calls = {"write", "pwrite64"},
                                   .action = "error=ENOSPC",
                                   .failureText = systemText(ENOSPC) + "！    \n"}));
        EXPECT_TRUE(survives(job, {{"write", "pwrite64"}, "retval=1"}));
    }
}

// A job killed at any step leaves the old file or the whole new one, and
// whatever temporary file it leaves is closed to other users.
TEST_F(ReplaceFaultTest, KilledAtAnyStepTheFileIsOldOrNewAndNothingLeaks) {
    for (const Job job : BothJobs)
        EXPECT_TRUE(
            survives(job, {{"write", "pwrite64", "fsync", "fdatasync", "pread64", "read", "fchmod",
                            "fchown", "fsetxattr", "rename", "renameat", "renameat2", "close"},
                           "signal=SIGKILL"}));
}

// Interrupted from the keyboard or stopped by the system mid-job, the job
// stops cleanly: the temporary file removed, the file as it was, exit 1.
TEST_F(ReplaceFaultTest, InterruptedJobsStopCleanly) {
    for (const Job job : BothJobs) {
        for (const std::string signal : {"SIGINT", "SIGTERM"}) {
            SCOPED_TRACE(signal);
            prepare(job);
            // The signal comes at the temporary file's sync: mid-job, and a call
            // no runtime (the sanitizers' included) makes on its own. Giving the
            // new file its mode, later, is held up long enough for the program's
            // watcher thread to turn the signal into a stop request before the
            // job's last look, even on a loaded machine.
            const ChildOutcome run = runChild(tampered({.calls = "fsync",
                                                        .action = "signal=" + signal + ":when=1",
                                                        .also = {"fchmod", "delay_enter=300000"}},
                                                       arguments(job)),
                                              {.input = Password + "\n"});
            EXPECT_TRUE(ended(run, 1));
            EXPECT_EQ(breach(job, run), "");
        }
    }
}

} // namespace
} // namespace veskard::test
