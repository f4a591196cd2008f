#include "platform/DirectoryLookup.h"
#include "platform/FileAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace veskard::platform;
using veskard::test::TempFolder;

namespace {

void makeFile(const std::filesystem::path& path, FileAttributes attributes = {}) {
    veskard::test::writeFile(path, {std::byte{7}});
    ASSERT_FALSE(writeAttributes(path, attributes));
}

} // namespace

TEST(DirectoryLookup, MaskDecidesWhetherHiddenAndSystemFilesAreSeen) {
    TempFolder folder;
    makeFile(folder / "normal.txt");
    makeFile(folder / "readonly.txt", FileAttribute::ReadOnly | FileAttribute::Archive);
    makeFile(folder / "hidden.txt", FileAttribute::Hidden);
    makeFile(folder / "system.txt", FileAttribute::System);
    makeFile(folder / "both.txt", FileAttribute::Hidden | FileAttribute::System);

    const auto find = [&](const char* name, std::uint32_t mask) {
        return findFirstFile(folder / name, mask);
    };
    EXPECT_EQ(find("normal.txt", LookupMask::Normal), std::filesystem::path("normal.txt"));
    EXPECT_EQ(find("readonly.txt", LookupMask::Normal), std::filesystem::path("readonly.txt"));
    EXPECT_EQ(find("hidden.txt", LookupMask::Normal), std::nullopt);
    EXPECT_EQ(find("system.txt", LookupMask::Normal), std::nullopt);
    EXPECT_EQ(find("hidden.txt", LookupMask::AllFiles), std::filesystem::path("hidden.txt"));
    EXPECT_EQ(find("system.txt", LookupMask::AllFiles), std::filesystem::path("system.txt"));
    EXPECT_EQ(find("both.txt", LookupMask::Hidden), std::nullopt);
    EXPECT_EQ(find("both.txt", LookupMask::AllFiles), std::filesystem::path("both.txt"));
    EXPECT_EQ(find("missing.txt", LookupMask::AllFiles), std::nullopt);
}

// Windows looks a name up as a pattern; on POSIX "*" and "?" are characters
// of a name like any other, and a name holding them stands for itself alone.
TEST(DirectoryLookup, WildcardsMatchOnlyOnWindowsAndFoldersNever) {
#ifdef _WIN32
    constexpr bool patterns = true;
#else
    constexpr bool patterns = false;
#endif
    TempFolder folder;
    std::filesystem::create_directory(folder / "a-folder.txt");
    makeFile(folder / "b.txt", FileAttribute::Hidden);
    makeFile(folder / "c.txt");
    makeFile(folder / "d.dat");
    const std::filesystem::path name(u8"加密文件.txt");
    makeFile(folder.path() / name, FileAttribute::Hidden);

    const auto expected = [&](const char* match) {
        return patterns ? std::optional<std::filesystem::path>(match) : std::nullopt;
    };
    EXPECT_EQ(findFirstFile(folder / "*.txt", LookupMask::Normal), expected("c.txt"));
    EXPECT_EQ(findFirstFile(folder / "*.txt", LookupMask::AllFiles), expected("b.txt"));
    EXPECT_EQ(findFirstFile(folder / "?.dat", LookupMask::Normal), expected("d.dat"));
    EXPECT_EQ(findFirstFile(folder / "c.*", LookupMask::Normal), expected("c.txt"));
    EXPECT_EQ(findFirstFile(folder / "*.*", LookupMask::Normal), expected("c.txt"));
    // Names outside ASCII are found and returned whole.
    EXPECT_EQ(findFirstFile(folder.path() / u8"*文件.txt", LookupMask::Hidden),
              patterns ? std::optional(name) : std::nullopt);
    EXPECT_EQ(findFirstFile(folder.path() / name, LookupMask::Normal), std::nullopt);
    EXPECT_EQ(findFirstFile(folder.path() / name, LookupMask::Hidden), name);

    EXPECT_EQ(findFirstFile(folder / "a-folder.txt", LookupMask::AllFiles), std::nullopt);
    EXPECT_EQ(findFirstFile(folder / "*.bin", LookupMask::AllFiles), std::nullopt);
    EXPECT_EQ(findFirstFile(folder.path() / "", LookupMask::AllFiles), std::nullopt);
    if (!patterns) {
        makeFile(folder / "c.*");
        EXPECT_EQ(findFirstFile(folder / "c.*", LookupMask::Normal), std::filesystem::path("c.*"));
    }
}
