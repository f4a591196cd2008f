#include "Cli.h"
#include "platform/FileAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>
#include <thread>

namespace veskard::test {
namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct stat statOf(const std::filesystem::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info;
}

// Runs in a mount namespace of its own, so the small disk is seen by nothing
// else and vanishes with it. The file is copied onto the disk with its
// attributes; what the disk holds is copied back out, attributes and all,
// before and after the lock, for the test to compare.
constexpr const char* FullDiskScript = R"(
dir=$1 cli=$2
mount -t tmpfs -o size=8m veskard-full "$dir/disk" || exit 90
cp --preserve=all "$dir/original" "$dir/disk/file" || exit 91
cp --preserve=all "$dir/disk/file" "$dir/before" || exit 91
"$cli" lock "$dir/disk/file" --password-stdin <"$dir/password"
echo $? >"$dir/status"
ls -A "$dir/disk" >"$dir/listing"
cp --preserve=all "$dir/disk/file" "$dir/after" || exit 92
mount -o remount,size=16m "$dir/disk" || exit 93
"$cli" lock "$dir/disk/file" --password-stdin <"$dir/password" 2>/dev/null
echo $? >"$dir/roomy"
)";

// The disk holds the file once but not twice, and an in-place lock needs both
// the file and its record until the record takes the file's place.
TEST(InterruptionTest, FullDiskRefusesTheLockAndKeepsTheOriginal) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small disk needs root";
    TempFolder folder;
    std::filesystem::create_directory(folder / "disk");
    writeFile(folder / "original", patternBytes(5 * MiB, 7));
    writeFile(folder / "password", {std::byte{'p'}, std::byte{'w'}, std::byte{'\n'}});
    std::filesystem::permissions(folder / "original", std::filesystem::perms(0640));
    // Hidden and archive where the folder's file system keeps them; mode and time everywhere.
    (void)platform::writeAttributes(folder / "original", platform::FileAttribute::Hidden |
                                                             platform::FileAttribute::Archive);
    std::filesystem::last_write_time(folder / "original",
                                     std::filesystem::file_time_type::clock::now() -
                                         std::chrono::hours(24 * 400));

    ChildOutcome outcome;
    try {
        outcome = runChild({"unshare", "--mount", "--propagation", "private", "sh", "-c",
                            FullDiskScript, "sh", utf8(folder.path()), CliProgram});
    } catch (const std::runtime_error& error) {
        GTEST_SKIP() << error.what();
    }
    if (!std::filesystem::exists(folder / "status"))
        GTEST_SKIP() << "no private mount namespace with a small disk here: " << outcome;
    ASSERT_EQ(outcome.exitCode, 0) << outcome;

    EXPECT_EQ(readText(folder / "status"), "1\n");
    // The full disk is told as what it is, in the system's words.
    EXPECT_EQ(outcome.err,
              std::make_error_code(std::errc::no_space_on_device).message() + "！    \n");
    EXPECT_EQ(readText(folder / "listing"), "file\n") << "the temporary file removes itself";
    const std::vector<std::byte> before = readFile(folder / "before");
    EXPECT_EQ(before, patternBytes(5 * MiB, 7));
    EXPECT_EQ(readFile(folder / "after"), before);
    const struct stat was = statOf(folder / "before");
    const struct stat is = statOf(folder / "after");
    EXPECT_EQ(is.st_mode, was.st_mode);
    EXPECT_EQ(is.st_mtim.tv_sec, was.st_mtim.tv_sec);
    EXPECT_EQ(is.st_mtim.tv_nsec, was.st_mtim.tv_nsec);
    EXPECT_EQ(platform::readAttributes(folder / "after")->bits(),
              platform::readAttributes(folder / "before")->bits());
    // With room for both, the same lock goes through: the disk was the only obstacle.
    EXPECT_EQ(readText(folder / "roomy"), "0\n");
}

// A lock killed at any moment leaves the file as it was or as a whole record
// that unlocks to it: the record replaces the file in one step, never piecemeal.
TEST(InterruptionTest, KilledLockLeavesTheOriginalOrACompleteRecord) {
    TempFolder folder;
    const std::filesystem::path file = folder / "data.bin";
    const std::filesystem::path check = folder / "check.bin";
    const std::vector<std::byte> original = patternBytes(4 * MiB, 11);
    writeFile(file, original);

    // One whole lock shows how long there is to interrupt.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(lock(file, "pw").exitCode, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", a whole lock took " +
                 std::to_string(whole.count()) + " µs");
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> delay(0, whole.count() * 6 / 5);
    int untouched = 0;
    int records = 0;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        writeFile(file, original);
        ChildProcess child({CliProgram, "lock", utf8(file), "--password-stdin"},
                           ChildProcess::Options::withInput("pw\n"));
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        child.kill();
        (void)child.finish();

        if (readFile(file) == original) {
            ++untouched;
            continue;
        }
        const ChildOutcome info = cli({"info", utf8(file)});
        ASSERT_EQ(info.exitCode, 0) << "neither the original nor a record: " << info;
        EXPECT_NE(info.out.find("记录大小：" + std::to_string(std::filesystem::file_size(file))),
                  std::string::npos)
            << info;
        const ChildOutcome restored = unlock(file, "pw", {"-o", utf8(check), "--force"});
        ASSERT_EQ(restored.exitCode, 0) << restored;
        ASSERT_EQ(readFile(check), original);
        ++records;
    }
    std::cout << "killed locks: " << untouched << " left the original, " << records
              << " a complete record\n";
}

} // namespace
} // namespace veskard::test
