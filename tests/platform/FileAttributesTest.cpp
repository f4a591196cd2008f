#include "platform/FileAttributes.h"
#include "support/NativeAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace veskard::platform;
using veskard::test::TempFolder;
namespace native = veskard::test::native;

namespace {

constexpr std::uint32_t classicBits = 0x27;
constexpr std::uint32_t notContentIndexed = 0x2000;

std::filesystem::path freshFile(const TempFolder& folder) {
    const auto file = folder / "a.txt";
    veskard::test::writeFile(file, {std::byte{1}});
    return file;
}

} // namespace

TEST(FileAttributes, WhatIsWrittenIsWhatOtherProgramsSee) {
    TempFolder folder;
    const auto file = freshFile(folder);
    EXPECT_EQ(*readAttributes(file), native::freshFile());

    // In this order each step also changes the flags of a read-only file,
    // clears read-only, and sets it again together with others.
    for (const FileAttributes attributes : {
             FileAttribute::Hidden | FileAttribute::Archive,
             FileAttributes(FileAttribute::System),
             FileAttribute::ReadOnly | FileAttribute::Hidden,
             FileAttributes(FileAttribute::ReadOnly),
             FileAttribute::Hidden | FileAttribute::System,
             FileAttribute::ReadOnly | FileAttribute::Hidden | FileAttribute::System |
                 FileAttribute::Archive,
             FileAttributes(),
         }) {
        SCOPED_TRACE(attributes.bits());
        ASSERT_FALSE(writeAttributes(file, attributes));
        const FileAttributes stored = native::asStored(attributes);
        EXPECT_EQ(*readAttributes(file), stored);
        EXPECT_EQ(native::attributeWord(file) & classicBits, stored.bits());
    }
}

TEST(FileAttributes, ReadsWhatOtherProgramsWriteAndIgnoresOtherBits) {
    TempFolder folder;
    const auto file = freshFile(folder);
    native::storeAttributeWord(file, 0x26 | notContentIndexed);
    EXPECT_EQ(
        *readAttributes(file),
        native::asStored(FileAttribute::Hidden | FileAttribute::System | FileAttribute::Archive));
    native::storeAttributeWord(file, 0x01);
    EXPECT_EQ(*readAttributes(file), native::asStored(FileAttribute::ReadOnly));
}

TEST(FileAttributes, ArchiveIsSetAndClearedLikeTheOthersAndAMissingFileIsAnError) {
    TempFolder folder;
    EXPECT_EQ(readAttributes(folder / "none").error(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(writeAttributes(folder / "none", FileAttribute::Hidden),
              std::errc::no_such_file_or_directory);
    if (!native::asStored({}).none())
        GTEST_SKIP() << "this system reports every file as Archive";
    const auto file = freshFile(folder);
    ASSERT_FALSE(writeAttributes(file, FileAttribute::Archive));
    EXPECT_EQ(*readAttributes(file), FileAttributes(FileAttribute::Archive));
    ASSERT_FALSE(clearAttributes(file));
    EXPECT_TRUE(readAttributes(file)->none());
    EXPECT_EQ(native::attributeWord(file) & classicBits, 0u);
}
