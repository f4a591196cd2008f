#include "platform/FileAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace veskard::platform;
using veskard::test::TempFolder;

namespace {

std::string dosAttributeText(const std::filesystem::path& path) {
    char text[64] = {};
    const ssize_t length = ::getxattr(path.c_str(), "user.DOSATTRIB", text, sizeof text);
    return length < 0 ? std::string() : std::string(text, static_cast<std::size_t>(length));
}

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace

TEST(FileAttributes, HiddenSystemAndArchiveLiveInTheSambaAttribute) {
    TempFolder folder;
    const auto file = folder / "a.txt";
    veskard::test::writeFile(file, {std::byte{1}});
    EXPECT_TRUE(readAttributes(file)->none());

    ASSERT_FALSE(writeAttributes(file, FileAttribute::Hidden | FileAttribute::Archive));
    EXPECT_EQ(dosAttributeText(file), "0x22");
    EXPECT_EQ(*readAttributes(file), FileAttribute::Hidden | FileAttribute::Archive);

    ASSERT_FALSE(writeAttributes(file, FileAttribute::System));
    EXPECT_EQ(dosAttributeText(file), "0x4");

    ASSERT_FALSE(clearAttributes(file));
    EXPECT_EQ(dosAttributeText(file), "");
    EXPECT_TRUE(readAttributes(file)->none());
}

TEST(FileAttributes, ReadsWhatSambaAndWineWrite) {
    TempFolder folder;
    const auto file = folder / "b.txt";
    veskard::test::writeFile(file, {std::byte{1}});
    const char samba[] = "0x26"; // with its NUL, as some writers store it
    ASSERT_EQ(::setxattr(file.c_str(), "user.DOSATTRIB", samba, sizeof samba, 0), 0);
    EXPECT_EQ(*readAttributes(file),
              FileAttribute::Hidden | FileAttribute::System | FileAttribute::Archive);
    // Directory and other bits that are not file attributes here are ignored.
    ASSERT_EQ(::setxattr(file.c_str(), "user.DOSATTRIB", "0x812", 5, 0), 0);
    EXPECT_EQ(*readAttributes(file), FileAttributes(FileAttribute::Hidden));
}

TEST(FileAttributes, ReadOnlyIsTheAbsenceOfWriteBits) {
    TempFolder folder;
    const auto file = folder / "c.txt";
    veskard::test::writeFile(file, {std::byte{1}});
    ::chmod(file.c_str(), 0644);

    ASSERT_FALSE(writeAttributes(file, FileAttribute::ReadOnly | FileAttribute::Hidden));
    EXPECT_EQ(modeOf(file), 0444u);
    EXPECT_EQ(*readAttributes(file), FileAttribute::ReadOnly | FileAttribute::Hidden);

    // Flags of a read-only file change while it stays read-only.
    ASSERT_FALSE(writeAttributes(file, FileAttribute::ReadOnly));
    EXPECT_EQ(modeOf(file), 0444u);
    EXPECT_EQ(*readAttributes(file), FileAttributes(FileAttribute::ReadOnly));

    ASSERT_FALSE(clearAttributes(file));
    EXPECT_EQ(modeOf(file), 0644u);
    EXPECT_TRUE(readAttributes(file)->none());

    // A file writable by its group only is not read-only and keeps its mode.
    ::chmod(file.c_str(), 0464);
    EXPECT_TRUE(readAttributes(file)->none());
    ASSERT_FALSE(writeAttributes(file, FileAttribute::Hidden));
    EXPECT_EQ(modeOf(file), 0464u);
}

TEST(FileAttributes, MissingFileIsAnError) {
    TempFolder folder;
    EXPECT_EQ(readAttributes(folder / "none").error(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(writeAttributes(folder / "none", FileAttribute::Hidden),
              std::errc::no_such_file_or_directory);
}
