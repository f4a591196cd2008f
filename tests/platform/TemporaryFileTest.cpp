#include "platform/TemporaryFile.h"
#include "support/NativeAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace veskard::platform;
using veskard::Result;
using veskard::test::TempFolder;
namespace native = veskard::test::native;

namespace {

std::vector<std::filesystem::path> namesIn(const TempFolder& folder) {
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename());
    return names;
}

} // namespace

TEST(TemporaryFile, LeftUncommittedItRemovesItselfAndTheTargetStays) {
    TempFolder folder;
    const auto target = folder / "target.txt";
    veskard::test::writeFile(target, {std::byte{1}});
    {
        Result<TemporaryFile> temporary = TemporaryFile::createBeside(target);
        ASSERT_TRUE(temporary) << temporary.error().message();
        EXPECT_EQ(temporary->path().parent_path(), folder.path());
        ASSERT_FALSE(temporary->file().writeAll(veskard::test::patternBytes(100)));
    }
    EXPECT_EQ(namesIn(folder), std::vector<std::filesystem::path>{"target.txt"});
    EXPECT_EQ(veskard::test::readFile(target), std::vector<std::byte>{std::byte{1}});
}

// Windows refuses to rename over a read-only file; the replacement must not.
TEST(TemporaryFile, CommitReplacesAReadOnlyHiddenTargetWithTheGivenAttributes) {
    TempFolder folder;
    const auto target = folder / "target.txt";
    veskard::test::writeFile(target, {std::byte{1}});
    ASSERT_FALSE(writeAttributes(target, FileAttribute::ReadOnly | FileAttribute::Hidden));

    Result<TemporaryFile> temporary = TemporaryFile::createBeside(target);
    ASSERT_TRUE(temporary);
    const auto content = veskard::test::patternBytes(5000);
    ASSERT_FALSE(temporary->file().writeAll(content));
    const FileAttributes wanted = FileAttribute::Hidden | FileAttribute::Archive;
    const std::error_code committed = temporary->commit(target, {wanted, true});
    ASSERT_FALSE(committed) << committed.message();

    EXPECT_EQ(veskard::test::readFile(target), content);
    EXPECT_EQ(*readAttributes(target), native::asStored(wanted));
    EXPECT_EQ(namesIn(folder), std::vector<std::filesystem::path>{"target.txt"});
}

TEST(TemporaryFile, CommitCreatesAMissingTarget) {
    TempFolder folder;
    const auto target = folder / "new.txt";
    Result<TemporaryFile> temporary = TemporaryFile::createBeside(target);
    ASSERT_TRUE(temporary);
    ASSERT_FALSE(temporary->file().writeAll(veskard::test::patternBytes(10)));
    ASSERT_FALSE(temporary->commit(target, {FileAttribute::ReadOnly, false}));
    EXPECT_EQ(veskard::test::readFile(target), veskard::test::patternBytes(10));
    EXPECT_EQ(*readAttributes(target), native::asStored(FileAttribute::ReadOnly));
    EXPECT_EQ(namesIn(folder), std::vector<std::filesystem::path>{"new.txt"});
}
