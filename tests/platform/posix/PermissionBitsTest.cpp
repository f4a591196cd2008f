#include "platform/FileAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

// Read-only on POSIX is made of permission bits; the other bits of the mode
// are the owner's business and must come through untouched.
using namespace veskard::platform;

namespace {

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace

TEST(PermissionBits, ReadOnlyTakesEveryWriteBitAndOnlyTheOwnersCountsForIt) {
    veskard::test::TempFolder folder;
    const auto file = folder / "c.txt";
    veskard::test::writeFile(file, {std::byte{1}});
    ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
    ASSERT_FALSE(writeAttributes(file, FileAttribute::ReadOnly | FileAttribute::Hidden));
    EXPECT_EQ(modeOf(file), 0444u);
    ASSERT_FALSE(writeAttributes(file, FileAttribute::ReadOnly));
    EXPECT_EQ(modeOf(file), 0444u);
    // Clearing gives the owner a write bit back.
    ASSERT_FALSE(clearAttributes(file));
    EXPECT_EQ(modeOf(file), 0644u);

    // A file only its group may write is not read-only, and keeps its mode.
    ASSERT_EQ(::chmod(file.c_str(), 0464), 0);
    EXPECT_TRUE(readAttributes(file)->none());
    ASSERT_FALSE(writeAttributes(file, FileAttribute::Hidden));
    EXPECT_EQ(modeOf(file), 0464u);
    EXPECT_EQ(*readAttributes(file), FileAttributes(FileAttribute::Hidden));
}
