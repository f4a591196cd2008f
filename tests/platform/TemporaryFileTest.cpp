#include "platform/TemporaryFile.h"
#include "platform/PlatformError.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace veskard::platform;
using veskard::Result;
using veskard::test::TempFolder;

namespace {

using Names = std::vector<std::filesystem::path>;

const auto content = veskard::test::patternBytes(5000);

Result<TemporaryFile> written(const std::filesystem::path& target) {
    Result<TemporaryFile> temporary = TemporaryFile::createBeside(target);
    if (temporary) {
        EXPECT_FALSE(temporary->file().writeAll(content));
    }
    return temporary;
}

std::vector<File> holding(File file) {
    std::vector<File> held;
    held.push_back(std::move(file));
    return held;
}

} // namespace

// A name that came to stand for something else meanwhile is left to it.
TEST(TemporaryFile, CommitReplacesOnlyWhatTheTargetsNameStoodFor) {
    TempFolder folder;
    const auto target = folder / "target.txt";
    {
        Result<TemporaryFile> temporary = written(target);
        ASSERT_TRUE(temporary);
        veskard::test::writeFile(target, {std::byte{7}});
        EXPECT_TRUE(temporary->commit(std::nullopt, {}).error());
    }
    EXPECT_EQ(veskard::test::readFile(target), std::vector<std::byte>{std::byte{7}});
    {
        const FileState before = *regularFileState(target);
        Result<TemporaryFile> temporary = written(target);
        ASSERT_TRUE(temporary);
        veskard::test::writeFile(folder / "other", {std::byte{8}});
        std::filesystem::rename(folder / "other", target);
        EXPECT_EQ(temporary->commit(before, {}).error(), PlatformError::FileReplaced);
    }
    EXPECT_EQ(veskard::test::readFile(target), std::vector<std::byte>{std::byte{8}});
    EXPECT_EQ(folder.names(), Names{"target.txt"});

    const auto fresh = folder / "fresh.txt";
    Result<TemporaryFile> temporary = written(fresh);
    ASSERT_TRUE(temporary);
    ASSERT_FALSE(temporary->giveFreshMetadata());
    ASSERT_TRUE(temporary->commit(std::nullopt, {}));
    EXPECT_EQ(veskard::test::readFile(fresh), content);
}

// A name the file system takes whole leaves no room for ".NAME.xxxxxxxx.tmp":
// NAME is cut, never inside a character. POSIX counts bytes (85 three-byte
// characters fill a name); Windows counts UTF-16 units, and Wine, which runs
// its tests here, keeps the names in the host's bytes.
TEST(TemporaryFile, LongestNamesAreCutBetweenCharacters) {
    TempFolder folder;
    constexpr bool countsBytes = sizeof(std::filesystem::path::value_type) == 1;
    std::u8string chinese;
    for (int i = 0; i < 85; ++i)
        chinese += u8"中";
    const std::filesystem::path name =
        countsBytes ? std::filesystem::path(chinese) : std::filesystem::path(std::string(255, 'x'));
    const auto target = folder.path() / name;
    veskard::test::writeFile(target, {std::byte{1}});
    ASSERT_TRUE(std::filesystem::exists(target)) << "the longest name this system takes";

    Result<File> original = File::openExclusive(target);
    ASSERT_TRUE(original);
    const FileState replaced = *original->state();
    Result<TemporaryFile> temporary = written(target);
    ASSERT_TRUE(temporary) << temporary.error().message();
    const auto temporaryName = temporary->path().filename().native();
    EXPECT_EQ(temporaryName.size(), countsBytes ? 254u : 255u);
    const auto start =
        std::filesystem::path(".").native() + target.filename().native().substr(0, 6);
    EXPECT_EQ(temporaryName.substr(0, start.size()), start);
    ASSERT_TRUE(temporary->commit(replaced, holding(std::move(*original))));
    EXPECT_EQ(veskard::test::readFile(target), content);
}
