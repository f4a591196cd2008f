#include "platform/TemporaryFile.h"
#include "platform/PlatformError.h"
#include "platform/SystemRandom.h"
#include "platform/TemporaryName.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>
#include <random>

using namespace veskard::platform;
using veskard::Result;
using veskard::test::TempFolder;

namespace {

using Names = std::vector<std::filesystem::path>;

// What the next calls of the system's random source hand out, one entry a call.
std::deque<std::vector<std::byte>> scriptedDraws;

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

// This program's system random source: the scripted draws first, then the
// standard library's. The platform is a static library, so this definition
// keeps the library's own out of the link, and a test can know the temporary
// file's name before the file is made.
std::error_code veskard::platform::fillWithSystemRandom(std::span<std::byte> bytes) {
    if (!scriptedDraws.empty()) {
        const std::vector<std::byte> draws = std::move(scriptedDraws.front());
        scriptedDraws.pop_front();
        std::copy_n(draws.begin(), std::min(draws.size(), bytes.size()), bytes.begin());
        return {};
    }
    std::random_device device;
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::byte>(device()); });
    return {};
}

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

namespace {

// Another user may put a file, or a link to one of the user's files, under the
// name the temporary file is about to take. It is left as it is, never written
// through nor put in the target's place: the file is made under another name.
void replaceWithSomethingUnderTheFirstName(bool link) {
    TempFolder folder;
    const auto target = folder / "target.txt";
    const auto victim = folder / "victim";
    const auto victimBytes = veskard::test::patternBytes(300, 9);
    veskard::test::writeFile(target, {std::byte{7}});
    veskard::test::writeFile(victim, victimBytes);

    const std::vector<std::byte> draws(8, std::byte{42});
    scriptedDraws = {draws, draws};
    const auto planted = folder.path() / detail::temporaryName(target)->filename();
    if (link) {
        std::filesystem::create_symlink(victim, planted);
    } else {
        std::filesystem::copy_file(victim, planted);
        std::filesystem::permissions(
            planted, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                         std::filesystem::perms::group_read | std::filesystem::perms::others_read);
    }
    const FileState plantedState = *regularFileState(planted);
    const auto plantedMode = std::filesystem::status(planted).permissions();

    Result<File> original = File::openExclusive(target);
    ASSERT_TRUE(original);
    const FileState replaced = *original->state();
    Result<TemporaryFile> temporary = written(target);
    ASSERT_TRUE(temporary) << temporary.error().message();
    EXPECT_TRUE(scriptedDraws.empty()) << "the planted name was not the first one tried";
    EXPECT_NE(temporary->path().filename(), planted.filename());
    ASSERT_TRUE(temporary->commit(replaced, holding(std::move(*original))));

    EXPECT_EQ(veskard::test::readFile(target), content);
    const Result<FileState> plantedNow = regularFileState(planted);
    ASSERT_TRUE(plantedNow) << "the planted name is gone";
    EXPECT_EQ(*plantedNow, plantedState);
    EXPECT_EQ(std::filesystem::is_symlink(std::filesystem::symlink_status(planted)), link);
    EXPECT_EQ(std::filesystem::status(planted).permissions(), plantedMode);
    EXPECT_EQ(veskard::test::readFile(planted), victimBytes);
    Names left = {planted.filename(), "target.txt", "victim"};
    std::sort(left.begin(), left.end());
    EXPECT_EQ(folder.names(), left);
}

} // namespace

TEST(TemporaryFile, WhatStandsUnderItsNameBeforehandIsLeftAlone) {
    {
        SCOPED_TRACE("a file");
        replaceWithSomethingUnderTheFirstName(false);
    }
#ifndef _WIN32 // mingw-w64 makes no symbolic links
    SCOPED_TRACE("a link");
    replaceWithSomethingUnderTheFirstName(true);
#endif
}
