#include "platform/File.h"
#include "platform/PlatformError.h"
#include "support/TempFolder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <vector>

using namespace veskard::platform;
using veskard::Result;
using veskard::test::TempFolder;

namespace {

std::vector<std::byte> concat(std::vector<std::byte> a, const std::vector<std::byte>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(File, WritesSyncsAndReadsBackAtAnyOffset) {
    TempFolder folder;
    const auto path = folder / "data.bin";
    const auto first = veskard::test::patternBytes(70000, 1);
    const auto second = veskard::test::patternBytes(300, 2);
    {
        Result<File> file = File::createNew(path);
        ASSERT_TRUE(file) << file.error().message();
        ASSERT_FALSE(file->writeAll(first));
        // Writing goes on where it stopped, whatever was read between.
        std::vector<std::byte> head(10);
        ASSERT_EQ(*file->readAt(0, head), head.size());
        ASSERT_FALSE(file->writeAll(second));
        ASSERT_FALSE(file->sync());
        EXPECT_EQ(*file->size(), first.size() + second.size());
        ASSERT_FALSE(file->close());
    }
    EXPECT_EQ(veskard::test::readFile(path), concat(first, second));

    const Result<File> file = File::openForReading(path);
    ASSERT_TRUE(file) << file.error().message();
    std::vector<std::byte> buffer(500);
    EXPECT_EQ(*file->readAt(69900, buffer), 400u); // fewer only at the end
    EXPECT_TRUE(std::equal(first.end() - 100, first.end(), buffer.begin()));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), buffer.begin() + 100));
    EXPECT_EQ(*file->readAt(70300, buffer), 0u);
    EXPECT_EQ(*file->readAt(1u << 20, buffer), 0u);
}

TEST(File, RefusesWhatIsNotThereOrAlreadyThereOrNotARegularFile) {
    TempFolder folder;
    EXPECT_EQ(File::openForReading(folder / "missing").error(),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(File::openExclusive(folder / "missing").error(),
              std::errc::no_such_file_or_directory);
    veskard::test::writeFile(folder / "there", {std::byte{1}});
    EXPECT_EQ(File::createNew(folder / "there").error(), std::errc::file_exists);
    EXPECT_EQ(File::openForReading(folder.path()).error(), PlatformError::NotRegularFile);
    EXPECT_EQ(File::openExclusive(folder.path()).error(), PlatformError::NotRegularFile);
    EXPECT_EQ(regularFileState(folder.path()).error(), PlatformError::NotRegularFile);
}

TEST(File, ReadersShareAFileButNotWithAnExclusiveHolder) {
    TempFolder folder;
    const auto path = folder / "held";
    veskard::test::writeFile(path, {std::byte{1}});
    {
        const Result<File> reader = File::openForReading(path);
        ASSERT_TRUE(reader);
        EXPECT_TRUE(File::openForReading(path));
        EXPECT_EQ(File::openExclusive(path).error(), PlatformError::HeldByAnotherProgram);
    }
    const Result<File> holder = File::openExclusive(path);
    ASSERT_TRUE(holder);
    EXPECT_EQ(File::openForReading(path).error(), PlatformError::HeldByAnotherProgram);
    EXPECT_EQ(File::openExclusive(path).error(), PlatformError::HeldByAnotherProgram);
}

// The settings are written over from their start, the report added to.
TEST(File, AProgramFileIsMadeWhenMissingAndWrittenFromItsStartOrAtItsEnd) {
    TempFolder folder;
    const auto path = folder / "set.ini";
    const auto bytes = [](std::initializer_list<int> values) {
        std::vector<std::byte> result;
        for (const int value : values)
            result.push_back(static_cast<std::byte>(value));
        return result;
    };
    EXPECT_EQ(File::openProgramFile(path, ProgramFileAccess::Read).error(),
              std::errc::no_such_file_or_directory);
    for (const auto& [access, written, expected] :
         {std::tuple{ProgramFileAccess::ReadWrite, bytes({1, 2, 3}), bytes({1, 2, 3})},
          std::tuple{ProgramFileAccess::ReadWrite, bytes({9}), bytes({9, 2, 3})},
          std::tuple{ProgramFileAccess::Append, bytes({4, 5}), bytes({9, 2, 3, 4, 5})}}) {
        Result<File> file = File::openProgramFile(path, access);
        ASSERT_TRUE(file) << file.error().message();
        ASSERT_FALSE(file->writeAll(written));
        ASSERT_FALSE(file->close());
        EXPECT_EQ(veskard::test::readFile(path), expected);
    }
    const Result<File> file = File::openProgramFile(path, ProgramFileAccess::Read);
    ASSERT_TRUE(file) << file.error().message();
    EXPECT_EQ(*file->size(), 5u);
    ASSERT_TRUE(File::openProgramFile(folder / "report", ProgramFileAccess::Append));
    EXPECT_EQ(veskard::test::readFile(folder / "report"), bytes({}));
}

// What tells whether a file is still the one read before.
TEST(File, StateNamesTheFileItsNamesSizeAndTimes) {
    TempFolder folder;
    veskard::test::writeFile(folder / "a", {std::byte{1}, std::byte{2}});
    const Result<File> file = File::openForReading(folder / "a");
    ASSERT_TRUE(file);
    const FileState state = *file->state();
    EXPECT_EQ(state.size, 2u);
    EXPECT_EQ(state.links, 1u);
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    EXPECT_LT(std::chrono::abs(now - std::chrono::nanoseconds{state.modified}),
              std::chrono::minutes(1));
    EXPECT_EQ(*regularFileState(folder / "a"), state);

    std::filesystem::create_hard_link(folder / "a", folder / "b");
    const FileState linked = *regularFileState(folder / "b");
    EXPECT_TRUE(linked.isSameFile(state));
    EXPECT_EQ(linked.links, 2u);
    veskard::test::writeFile(folder / "c", {std::byte{1}, std::byte{2}});
    EXPECT_FALSE(regularFileState(folder / "c")->isSameFile(state));
}
