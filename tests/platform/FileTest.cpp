#include "platform/File.h"
#include "platform/ErrorText.h"
#include "platform/PlatformError.h"
#include "platform/TemporaryFile.h"
#include "support/TempFolder.h"

#include <clocale>
#include <gtest/gtest.h>
#include <span>

using namespace veskard::platform;
using veskard::Result;
using veskard::test::patternBytes;
using veskard::test::readFile;
using veskard::test::TempFolder;
using veskard::test::writeFile;
using Bytes = std::vector<std::byte>;

namespace {

// Readers share a file, but not with an exclusive holder.
TEST(File, RefusesWhatIsNotThereOrThereOrNoRegularFileOrHeld) {
    TempFolder folder;
    const auto path = folder / "held";
    writeFile(path, {std::byte{1}});
    EXPECT_EQ(File::openExclusive(folder / "missing").error(),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(File::createNew(path).error(), std::errc::file_exists);
    writeFile(folder / "twin", {std::byte{1}}); // another file, with the same bytes
    EXPECT_FALSE(regularFileState(path)->isSameFile(*regularFileState(folder / "twin")));
    EXPECT_EQ(File::openForReading(folder.path()).error(), PlatformError::NotRegularFile);
    EXPECT_EQ(File::openExclusive(folder.path()).error(), PlatformError::NotRegularFile);
    {
        const Result<File> reader = File::openForReading(path);
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
    EXPECT_EQ(File::openProgramFile(path, ProgramFileAccess::Read).error(),
              std::errc::no_such_file_or_directory);
    for (const auto& [access, written, expected] :
         {std::tuple{ProgramFileAccess::ReadWrite, "123", "123"},
          std::tuple{ProgramFileAccess::ReadWrite, "9", "923"},
          std::tuple{ProgramFileAccess::Append, "45", "92345"}}) {
        Result<File> file = File::openProgramFile(path, access);
        ASSERT_TRUE(file) << file.error().message();
        const std::string_view text(written);
        ASSERT_FALSE(file->writeAll(std::as_bytes(std::span(text))));
        ASSERT_FALSE(file->close());
        const auto wanted = std::as_bytes(std::span(std::string_view(expected)));
        EXPECT_EQ(readFile(path), Bytes(wanted.begin(), wanted.end()));
    }
    ASSERT_TRUE(File::openProgramFile(folder / "report", ProgramFileAccess::Append));
    EXPECT_EQ(readFile(folder / "report"), Bytes{});
}

Result<TemporaryFile> written(const std::filesystem::path& target) {
    Result<TemporaryFile> temporary = TemporaryFile::createBeside(target);
    if (temporary) {
        EXPECT_FALSE(temporary->file().writeAll(patternBytes(5000)));
    }
    return temporary;
}

// A name that came to stand for something else meanwhile is left to it.
TEST(TemporaryFile, CommitReplacesOnlyWhatTheTargetsNameStoodFor) {
    TempFolder folder;
    const auto target = folder / "target.txt";
    {
        Result<TemporaryFile> temporary = written(target);
        writeFile(target, {std::byte{7}});
        EXPECT_TRUE(temporary->commit(std::nullopt, {}).error());
    }
    EXPECT_EQ(readFile(target), Bytes{std::byte{7}});
    {
        const FileState before = *regularFileState(target);
        Result<TemporaryFile> temporary = written(target);
        writeFile(folder / "other", {std::byte{8}});
        std::filesystem::rename(folder / "other", target);
        EXPECT_EQ(temporary->commit(before, {}).error(), PlatformError::FileReplaced);
    }
    EXPECT_EQ(readFile(target), Bytes{std::byte{8}});
    EXPECT_EQ(folder.names(), std::vector<std::filesystem::path>{"target.txt"});
}

// The longest name leaves no room for ".NAME.xxxxxxxx.tmp": NAME is cut,
// never inside a character. POSIX counts bytes (85 three-byte characters
// fill a name); Windows counts UTF-16 units, and Wine, which runs its tests
// here, keeps the names in the host's bytes.
TEST(TemporaryFile, LongestNamesAreCutBetweenCharacters) {
    TempFolder folder;
    constexpr bool countsBytes = sizeof(std::filesystem::path::value_type) == 1;
    std::u8string chinese;
    for (int i = 0; i < 85; ++i)
        chinese += u8"中";
    const auto target =
        folder.path() / (countsBytes ? std::filesystem::path(chinese)
                                     : std::filesystem::path(std::string(255, 'x')));
    writeFile(target, {std::byte{1}});
    Result<File> original = File::openExclusive(target);
    ASSERT_TRUE(original) << "the longest name this system takes";
    const FileState replaced = *original->state();
    Result<TemporaryFile> temporary = written(target);
    ASSERT_TRUE(temporary) << temporary.error().message();
    const auto name = temporary->path().filename().native();
    EXPECT_EQ(name.size(), countsBytes ? 254u : 255u);
    const auto start =
        std::filesystem::path(".").native() + target.filename().native().substr(0, 6);
    EXPECT_EQ(name.substr(0, start.size()), start);
    std::vector<File> held;
    held.push_back(std::move(*original));
    ASSERT_TRUE(temporary->commit(replaced, std::move(held)));
    EXPECT_EQ(readFile(target), patternBytes(5000));
}

// In the user's language (on Debian from libc-l10n), on one line; errors of
// the program's own kinds keep their own words.
TEST(ErrorText, DescribesARealFailureInTheUsersLanguage) {
    TempFolder folder;
    const std::string text = describeError(File::openForReading(folder / "missing").error());
    EXPECT_TRUE(!text.empty() && text.find_first_of("\r\n") == std::string::npos &&
                text.back() != ' ')
        << text;
    const auto invalid = std::make_error_code(std::errc::invalid_argument);
    EXPECT_EQ(describeError(invalid), invalid.message());
#ifndef _WIN32
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "zh_CN.UTF-8"))
        GTEST_SKIP() << "zh_CN.UTF-8 is not generated here (locale-gen)";
    const std::string chinese =
        describeError(std::make_error_code(std::errc::read_only_file_system));
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(chinese, "只读文件系统");
#endif
}

} // namespace
