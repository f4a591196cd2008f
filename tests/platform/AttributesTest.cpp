#include "platform/DirectoryLookup.h"
#include "platform/FileAttributes.h"
#include "support/NativeAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace veskard::platform;
using veskard::test::TempFolder;
using Found = std::optional<std::filesystem::path>;
namespace native = veskard::test::native;

namespace {

constexpr std::uint32_t ClassicBits = 0x27;

std::filesystem::path makeFile(const std::filesystem::path& path, FileAttributes attributes = {}) {
    veskard::test::writeFile(path, {std::byte{7}});
    EXPECT_FALSE(writeAttributes(path, attributes));
    return path;
}

// In this order each step also changes the flags of a read-only file, clears
// read-only, and sets it again with others.
TEST(FileAttributes, WhatIsWrittenIsWhatOtherProgramsSeeAndTheOtherWayRound) {
    TempFolder folder;
    const auto file = makeFile(folder / "a.txt");
    EXPECT_EQ(*readAttributes(file), native::asStored({}));
    using enum FileAttribute;
    for (const FileAttributes attributes :
         {Hidden | Archive, FileAttributes(System), ReadOnly | Hidden, FileAttributes(ReadOnly),
          Hidden | System, ReadOnly | Hidden | System | Archive, FileAttributes()}) {
        ASSERT_FALSE(writeAttributes(file, attributes));
        const FileAttributes stored = native::asStored(attributes);
        EXPECT_EQ(*readAttributes(file), stored) << attributes.bits();
        EXPECT_EQ(native::attributeWord(file) & ClassicBits, stored.bits());
    }
    native::storeAttributeWord(file, 0x26 | 0x2000); // and "not content indexed", ignored
    EXPECT_EQ(*readAttributes(file), native::asStored(Hidden | System | Archive));
    native::storeAttributeWord(file, 0x01);
    EXPECT_EQ(*readAttributes(file), native::asStored(ReadOnly));
    ASSERT_FALSE(clearAttributes(file));
    EXPECT_EQ(*readAttributes(file), native::asStored({}));
    EXPECT_EQ(readAttributes(folder / "none").error(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(writeAttributes(folder / "none", Hidden), std::errc::no_such_file_or_directory);
}

#ifndef _WIN32
// Read-only is the absence of every write bit, and only the owner's counts
// for it; the other bits are the owner's business.
TEST(PermissionBits, ReadOnlyTakesEveryWriteBitAndOnlyTheOwnersCountsForIt) {
    TempFolder folder;
    const auto file = makeFile(folder / "c.txt");
    const auto mode = [&] {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_mode & 07777;
    };
    ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
    ASSERT_FALSE(writeAttributes(file, FileAttribute::ReadOnly | FileAttribute::Hidden));
    EXPECT_EQ(mode(), 0444u);
    ASSERT_FALSE(clearAttributes(file));
    EXPECT_EQ(mode(), 0644u);
    ASSERT_EQ(::chmod(file.c_str(), 0464), 0);
    EXPECT_TRUE(readAttributes(file)->none());
    ASSERT_FALSE(writeAttributes(file, FileAttribute::Hidden));
    EXPECT_EQ(mode(), 0464u);
    EXPECT_EQ(*readAttributes(file), FileAttributes(FileAttribute::Hidden));
}
#endif

// The mask decides whether hidden and system files are seen. Windows looks a
// name up as a pattern; on POSIX "*" and "?" stand for themselves. Folders
// are never found.
TEST(DirectoryLookup, MaskAndWildcardsDecideWhatIsFound) {
#ifdef _WIN32
    constexpr bool patterns = true;
#else
    constexpr bool patterns = false;
#endif
    TempFolder folder;
    const std::filesystem::path chinese(u8"加密文件.txt");
    std::filesystem::create_directory(folder / "a-folder.txt");
    makeFile(folder / "b.txt", FileAttribute::Hidden);
    makeFile(folder / "c.txt", FileAttribute::ReadOnly | FileAttribute::Archive);
    makeFile(folder / "d.dat");
    makeFile(folder / "system.txt", FileAttribute::System);
    makeFile(folder / "both.txt", FileAttribute::Hidden | FileAttribute::System);
    makeFile(folder.path() / chinese, FileAttribute::Hidden);
    const auto pattern = [&](const char* match) { return patterns ? Found(match) : std::nullopt; };
    // clang-format off
    const std::vector<std::tuple<std::filesystem::path, std::uint32_t, Found>> cases{
        {"c.txt", LookupMask::Normal, "c.txt"}, {"b.txt", LookupMask::Normal, std::nullopt},
        {"system.txt", LookupMask::Normal, std::nullopt}, {"b.txt", LookupMask::AllFiles, "b.txt"},
        {"system.txt", LookupMask::AllFiles, "system.txt"},
        {"both.txt", LookupMask::Hidden, std::nullopt},
        {"both.txt", LookupMask::AllFiles, "both.txt"},
        {"missing.txt", LookupMask::AllFiles, std::nullopt},
        {"a-folder.txt", LookupMask::AllFiles, std::nullopt},
        {"", LookupMask::AllFiles, std::nullopt},
        {"*.txt", LookupMask::Normal, pattern("c.txt")},
        {"?.dat", LookupMask::Normal, pattern("d.dat")},
        {chinese, LookupMask::Normal, std::nullopt},
        {chinese, LookupMask::Hidden, chinese},
        {u8"*文件.txt", LookupMask::Hidden, patterns ? Found(chinese) : std::nullopt}};
    // clang-format on
    for (const auto& [name, mask, found] : cases)
        EXPECT_EQ(findFirstFile(folder.path() / name, mask), found) << name << " " << mask;
    if (!patterns) {
        EXPECT_EQ(findFirstFile(makeFile(folder / "c.*"), LookupMask::Normal), Found("c.*"));
    }
}

} // namespace
