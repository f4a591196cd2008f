#include "Cli.h"
#include "FileState.h"
#include "Tracing.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <optional>
#include <regex>

// Another user on the same machine, while a job writes: the new content is
// never theirs to read, and a folder they can write to gives them no way to
// the running user's files.
namespace veskard::test {
namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

class OtherUserTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!canTrace())
            GTEST_SKIP() << "strace is missing or may not trace here";
    }
    static bool asRoot() { return ::geteuid() == 0; }

    // Starts a job slowed down enough to act while it writes, and waits for
    // its temporary file.
    std::filesystem::path startSlowly(std::optional<ChildProcess>& run, const std::string& command,
                                      const std::filesystem::path& file) {
        run.emplace(tampered(SlowWriting, {command, utf8(file), "--password-stdin"}),
                    ChildOptions{.input = "pw\n"});
        return awaitTemporary(file.parent_path());
    }

    TempFolder folder_;
};

TEST_F(OtherUserTest, NewContentIsTheRunningUsersAloneWhileWritten) {
    const std::filesystem::path file = folder_ / "secret.txt";
    writeFile(file, patternBytes(3 * MiB, 4));
    ASSERT_TRUE(setMetadata(file, 0600, 0));
    const std::regex temporaryName(R"(\.secret\.txt\.[^.]{8}\.tmp)");
    for (const std::string command : {"lock", "unlock"}) {
        SCOPED_TRACE(command);
        std::optional<ChildProcess> run;
        const std::filesystem::path temporary = startSlowly(run, command, file);
        ASSERT_FALSE(temporary.empty()) << run->finish();
        EXPECT_TRUE(std::regex_match(utf8(temporary.filename()), temporaryName)) << temporary;
        const Metadata seen = metadataOf(temporary);
        EXPECT_EQ(seen.mode & 07777, 0600u) << seen;
        EXPECT_EQ(seen.owner, ::geteuid());
        if (asRoot()) {
            const ChildOutcome peek = runChild(asNobody({"head", "-c", "1", utf8(temporary)}));
            EXPECT_NE(peek.exitCode, 0) << "another user read the new content: " << peek;
        }
        EXPECT_EQ(run->finish().exitCode, 0);
    }
    EXPECT_EQ(readFile(file), patternBytes(3 * MiB, 4));
}

// The attack: in a folder another user may write to, that user replaces the
// temporary file by a link to a file only root may read, while root locks a
// file there. Nothing may follow the link, and the link must not take the
// file's place.
TEST_F(OtherUserTest, TemporaryFileSwappedForALinkIsRefusedAndNothingFollowsIt) {
    if (!asRoot())
        GTEST_SKIP() << "acting as another user needs root";
    const std::filesystem::path shared = folder_ / "shared";
    const std::filesystem::path file = shared / "f";
    const std::filesystem::path secret = folder_ / "secret";
    std::filesystem::create_directory(shared);
    ASSERT_TRUE(setMetadata(shared, 0755, NobodyId));
    writeFile(file, patternBytes(3 * MiB, 5));
    ASSERT_EQ(lock(file, "pw").exitCode, 0);
    const std::vector<std::byte> record = readFile(file);

    for (const std::string command : {"lock", "unlock"}) {
        SCOPED_TRACE(command);
        std::filesystem::remove(file);
        writeFile(file, command == "lock" ? patternBytes(3 * MiB, 5) : record);
        ASSERT_TRUE(setMetadata(file, 0644, NobodyId));
        const Metadata fileBefore = metadataOf(file);
        const std::vector<std::byte> bytesBefore = readFile(file);
        std::filesystem::remove(secret);
        writeFile(secret, patternBytes(100, 6));
        ASSERT_TRUE(setMetadata(secret, 0600, 0));
        const Metadata secretBefore = metadataOf(secret);

        std::optional<ChildProcess> run;
        const std::filesystem::path temporary = startSlowly(run, command, file);
        ASSERT_FALSE(temporary.empty()) << run->finish();
        ASSERT_TRUE(ended(runChild(asNobody({"sh", "-c", R"(rm -f "$1" && ln -s "$2" "$1")", "sh",
                                             utf8(temporary), utf8(secret)})),
                          0));
        const ChildOutcome outcome = run->finish();

        EXPECT_EQ(outcome.exitCode, 1) << outcome;
        EXPECT_EQ(metadataOf(secret), secretBefore);
        EXPECT_EQ(readFile(secret), patternBytes(100, 6));
        EXPECT_EQ(metadataOf(file), fileBefore);
        EXPECT_EQ(readFile(file), bytesBefore);
        EXPECT_TRUE(std::filesystem::is_symlink(temporary)) << "what was planted stays as it was";
        std::filesystem::remove(temporary);
    }
}

// A read-only file of one's own cannot be opened for writing, and need not
// be: locking it in place works as for any other file, once no other
// program reads it under a lock.
TEST_F(OtherUserTest, UsersOwnReadOnlyFileLocksAndUnlocksInPlace) {
    if (!asRoot())
        GTEST_SKIP() << "acting as another user needs root";
    const std::filesystem::path own = folder_ / "own";
    const std::filesystem::path file = own / "read-only.doc";
    std::filesystem::create_directory(own);
    ASSERT_TRUE(setMetadata(own, 0755, NobodyId));
    writeFile(file, patternBytes(5000, 7));
    ASSERT_TRUE(setMetadata(file, 0444, NobodyId));
    const Metadata before = metadataOf(file);
    const int reader = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct flock range {};
    range.l_type = F_RDLCK;
    ASSERT_EQ(::fcntl(reader, F_SETLK, &range), 0);
    EXPECT_TRUE(ended(
        runChild(asNobody({CliProgram, "lock", utf8(file), "--password-stdin"}), {.input = "pw\n"}),
        1, printed(engine::Messages::encryptHeld())));
    ::close(reader);
    for (const std::string command : {"lock", "unlock"}) {
        const ChildOutcome run = runChild(
            asNobody({CliProgram, command, utf8(file), "--password-stdin"}), {.input = "pw\n"});
        EXPECT_EQ(run.exitCode, 0) << command << ": " << run;
        EXPECT_EQ(metadataOf(file), before);
    }
    EXPECT_EQ(readFile(file), patternBytes(5000, 7));
}

} // namespace
} // namespace veskard::test
