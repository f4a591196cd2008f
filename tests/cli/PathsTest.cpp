#include "Cli.h"
#include "FileState.h"
#include "Tracing.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

// What a path can lead to besides a plain file with a plain name: FIFOs,
// devices, sockets, folders, other names of the same file, links that lead
// nowhere or round in a circle, names too long or out of reach, and the
// longest names there are.
namespace veskard::test {
namespace {

const std::string Password = "pw\n";
// Time enough for any refusal; what takes longer has blocked.
constexpr std::chrono::seconds Promptly{5};

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(plain_, patternBytes(5000, 1));
        writeFile(locked_, patternBytes(6000, 2));
        ASSERT_EQ(lock(locked_, "pw").exitCode, 0);
        record_ = readFile(locked_);
    }

    // Every way a command can meet `path`: as the file read, or as the one written.
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
    const std::filesystem::path plain_ = folder_ / "plain.bin";
    const std::filesystem::path locked_ = folder_ / "locked.bin";
    std::vector<std::byte> record_;
};

std::string shown(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& word : arguments)
        text += " " + word.substr(0, 60);
    return text;
}

TEST_F(PathsTest, OnlyRegularFilesAreReadOrReplacedAndNothingBlocks) {
    const std::filesystem::path fifo = folder_ / "fifo";
    const std::filesystem::path device = folder_ / "null-device";
    const std::filesystem::path socket = folder_ / "socket";
    const std::filesystem::path folder = folder_ / "folder";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    std::filesystem::create_directory(folder);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    utf8(socket).copy(address.sun_path, sizeof address.sun_path - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(listener);
    std::vector<std::filesystem::path> specials{fifo, socket, folder};
    // The same device as /dev/null, made here so that nothing outside the test can be replaced.
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
        specials.push_back(device);

    for (const std::filesystem::path& special : specials) {
        const mode_t kind = metadataOf(special).mode & S_IFMT;
        for (const std::vector<std::string>& arguments : commandsMeeting(special)) {
            SCOPED_TRACE(shown(arguments));
            const ChildOutcome outcome = cli(arguments, Password, Promptly);
            EXPECT_TRUE(ended(outcome, 1));
            if (kind == S_IFIFO || kind == S_IFCHR) {
                EXPECT_NE(outcome.err.find("不是普通文件！    "), std::string::npos) << outcome;
            }
            EXPECT_EQ(metadataOf(special).mode & S_IFMT, kind);
        }
    }
    expectNothingChanged();
}

TEST_F(PathsTest, UnreachableNamesFailWithTheSystemsWordsAndNeverAbort) {
    const std::filesystem::path loop = folder_ / "loop";
    std::filesystem::create_symlink("loop", loop);
    std::vector<std::pair<std::vector<std::string>, int>> cases;
    for (const auto& [path, error] :
         {std::pair{folder_ / std::string(300, 'n'), ENAMETOOLONG}, std::pair{loop / "x", ELOOP}}) {
        for (const std::vector<std::string>& arguments : commandsMeeting(path))
            cases.emplace_back(arguments, error);
    }
    // Root may search any folder; another user may not search this one.
    const std::filesystem::path closed = folder_ / "closed";
    std::filesystem::create_directory(closed);
    std::filesystem::permissions(closed, std::filesystem::perms::owner_all);
    if (::geteuid() == 0) {
        for (std::vector<std::string> arguments : commandsMeeting(closed / "x")) {
            arguments.insert(arguments.begin(), CliProgram);
            cases.emplace_back(asNobody(arguments), EACCES);
        }
    }

    for (const auto& [arguments, error] : cases) {
        SCOPED_TRACE(shown(arguments));
        const ChildOutcome outcome = arguments.front() == "setpriv"
                                         ? runChild(arguments, ChildOptions{.input = Password})
                                         : cli(arguments, Password, Promptly);
        EXPECT_TRUE(ended(outcome, 1));
        EXPECT_NE(outcome.err.find(systemText(error)), std::string::npos) << outcome;
    }
    expectNothingChanged();
}

// The temporary file's name is cut to fit (TemporaryFileTest checks where).
TEST_F(PathsTest, NamesUpTo255BytesLockAndUnlockInPlace) {
    std::string chinese;
    for (int i = 0; i < 85; ++i)
        chinese += "文";
    for (const std::string& name : {std::string(242, 'a'), std::string(255, 'b'), chinese}) {
        SCOPED_TRACE(std::to_string(name.size()) + " bytes");
        const std::filesystem::path file = folder_.path() / std::u8string(name.begin(), name.end());
        writeFile(file, patternBytes(3 << 20, 3));
        EXPECT_TRUE(ended(lock(file, "pw"), 0));
        EXPECT_TRUE(ended(unlock(file, "pw"), 0));
        EXPECT_EQ(readFile(file), patternBytes(3 << 20, 3));
        std::filesystem::remove(file);
    }
    expectNothingChanged();
}

// A link is followed, to the file it leads to, which is replaced; the link
// stays. An output naming a link that leads nowhere counts as existing.
TEST_F(PathsTest, JobsThroughALinkReplaceTheFileItLeadsToAndADanglingOneIsKept) {
    const std::filesystem::path link = folder_ / "link";
    std::filesystem::create_symlink("plain.bin", link);
    for (const std::string command : {"lock", "unlock"}) {
        const ChildOutcome outcome = cli({command, utf8(link), "--password-stdin"}, Password);
        EXPECT_EQ(outcome.exitCode, 0) << command << ": " << outcome;
        EXPECT_EQ(std::filesystem::read_symlink(link), "plain.bin");
        EXPECT_EQ(readFile(plain_) == patternBytes(5000, 1), command == "unlock");
    }

    const std::filesystem::path out = folder_ / "out";
    std::filesystem::create_symlink("nowhere", out);
    for (const ChildOutcome& outcome :
         {lock(plain_, "pw", {"-o", utf8(out)}), unlock(locked_, "pw", {"-o", utf8(out)})}) {
        EXPECT_EQ(outcome.exitCode, 1) << outcome;
        EXPECT_NE(outcome.err.find("--force"), std::string::npos) << outcome;
    }
    std::error_code notALink;
    EXPECT_EQ(std::filesystem::read_symlink(out, notALink), "nowhere");
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

// Rewriting one name would leave the old content under the others.
TEST_F(PathsTest, FileWithOtherNamesIsNotRewrittenInPlace) {
    std::filesystem::create_hard_link(plain_, folder_ / "plain-too");
    std::filesystem::create_hard_link(locked_, folder_ / "locked-too");
    for (const ChildOutcome& outcome : {lock(plain_, "pw"), unlock(locked_, "pw")}) {
        EXPECT_EQ(outcome.exitCode, 1) << outcome;
        EXPECT_NE(outcome.err.find("硬链接"), std::string::npos) << outcome;
    }
    EXPECT_TRUE(std::filesystem::equivalent(plain_, folder_ / "plain-too"));
    EXPECT_TRUE(std::filesystem::equivalent(locked_, folder_ / "locked-too"));
    expectNothingChanged();
    // Writing a separate file leaves every name as it is.
    EXPECT_EQ(lock(plain_, "pw", {"-o", utf8(folder_ / "copy")}).exitCode, 0);
    EXPECT_EQ(unlock(locked_, "pw", {"-o", utf8(folder_ / "restored")}).exitCode, 0);
    EXPECT_EQ(readFile(folder_ / "restored"), patternBytes(6000, 2));
}

} // namespace
} // namespace veskard::test
