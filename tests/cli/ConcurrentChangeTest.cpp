#include "Cli.h"
#include "FileState.h"
#include "Tracing.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>

// Other programs changing the file while a job runs, slowed down by strace
// at the step that matters so that the overlap is certain. What they write
// is never lost, and a job never reports a success that another undid.
namespace veskard::test {
namespace {

const std::string Password = "pw";

class ConcurrentChangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!canTrace())
            GTEST_SKIP() << "strace is missing or may not trace here";
        writeFile(file_, plain_);
        ASSERT_EQ(lock(file_, Password).exitCode, 0);
        record_ = readFile(file_);
    }

    // Puts the content `command` starts from in place, as a new file.
    void prepare(const std::string& command) {
        std::filesystem::remove(file_);
        writeFile(file_, command == "lock" ? plain_ : record_);
    }

    std::vector<std::string> arguments(const std::string& command) const {
        return {command, utf8(file_), "--password-stdin"};
    }

    // Starts `command` with strace slowing `calls` down, and waits until it
    // is held up in one of them.
    void startHeldUp(std::optional<ChildProcess>& run, const std::string& command,
                     const std::string& calls) {
        std::filesystem::remove(log_);
        run.emplace(tampered({calls, "delay_enter=1500000", log_}, arguments(command)),
                    ChildOptions{.input = Password + "\n"});
        ASSERT_TRUE(waitUntil([&] { return logShows(log_, calls.substr(0, calls.find(','))); }))
            << run->finish();
    }

    TempFolder folder_;
    const std::filesystem::path file_ = folder_ / "data.bin";
    const std::filesystem::path log_ = folder_ / "calls.log";
    const std::vector<std::byte> plain_ = patternBytes(3 << 20, 8);
    std::vector<std::byte> record_;
};

const std::vector<std::string> BothCommands{"lock", "unlock"};

// A writer that takes no lock cannot be kept out, but what it wrote is not
// replaced: the job finds the file changed, at the same size too, and leaves
// it as that writer did.
TEST_F(ConcurrentChangeTest, WhatAnotherProgramWritesMeanwhileIsNeverLost) {
    for (const std::string& command : BothCommands) {
        SCOPED_TRACE(command);
        prepare(command);
        std::vector<std::byte> expected = readFile(file_);
        std::optional<ChildProcess> run;
        run.emplace(tampered(SlowWriting, arguments(command)),
                    ChildOptions{.input = Password + "\n"});
        ASSERT_FALSE(awaitTemporary(folder_.path()).empty()) << run->finish();
        const std::string changed = "changed";
        std::fstream(file_, std::ios::in | std::ios::out | std::ios::binary) << changed;
        std::ranges::transform(changed, expected.begin(), [](char c) { return std::byte(c); });

        EXPECT_TRUE(ended(run->finish(), 1));
        EXPECT_TRUE(readFile(file_) == expected) << "the bytes written meanwhile were lost";
        EXPECT_EQ(temporaryFiles(folder_.path()), std::vector<std::filesystem::path>{});
    }
}

// Writers that take a lock, of either kind, and readers that take an fcntl()
// one are kept out until the new content has taken the file's place.
TEST_F(ConcurrentChangeTest, LockIsHeldUntilTheNewFileIsInPlace) {
    for (const std::string& command : BothCommands) {
        SCOPED_TRACE(command);
        prepare(command);
        std::optional<ChildProcess> run;
        startHeldUp(run, command, "rename,renameat,renameat2");
        const int descriptor = ::open(file_.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(descriptor, 0);
        EXPECT_NE(::flock(descriptor, LOCK_EX | LOCK_NB), 0) << "flock let another writer in";
        struct flock range {};
        range.l_type = F_WRLCK;
        range.l_whence = SEEK_SET;
        EXPECT_NE(::fcntl(descriptor, F_SETLK, &range), 0) << "fcntl let another writer in";
        range.l_type = F_RDLCK;
        EXPECT_NE(::fcntl(descriptor, F_SETLK, &range), 0) << "fcntl let a reader in";
        ::close(descriptor);
        EXPECT_EQ(run->finish().exitCode, 0);
    }
}

// The file is replaced by another one while the job waits for its lock: the
// job finds its descriptor no longer names the file, and leaves the new one.
TEST_F(ConcurrentChangeTest, FileReplacedBeforeTheLockIsTakenIsLeftAlone) {
    for (const std::string& command : BothCommands) {
        SCOPED_TRACE(command);
        prepare(command);
        std::optional<ChildProcess> run;
        startHeldUp(run, command, "flock");
        writeFile(folder_ / "newer", patternBytes(4000, 9));
        std::filesystem::rename(folder_ / "newer", file_);

        EXPECT_TRUE(ended(run->finish(), 1));
        EXPECT_EQ(readFile(file_), patternBytes(4000, 9));
    }
}

} // namespace
} // namespace veskard::test
