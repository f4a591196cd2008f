#include "Cli.h"
#include "platform/FileAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

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
    EXPECT_EQ(outcome.err, systemText(ENOSPC) + "！    \n");
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

} // namespace
} // namespace veskard::test
