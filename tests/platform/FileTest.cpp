#include "platform/File.h"
#include "platform/DirectoryLookup.h"
#include "platform/ErrorText.h"
#include "platform/FileAttributes.h"
#include "platform/Paths.h"
#include "platform/PlatformError.h"
#include "platform/TemporaryFile.h"
#include "support/NativeAttributes.h"
#include "support/TempFolder.h"
#ifdef _WIN32
#include "platform/windows/Win32.h"
#endif

#include <gtest/gtest.h>
#include <span>
#ifndef _WIN32
#include "platform/SharedFolder.h"

#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veskard::test {
namespace {

using namespace platform;
using Found = std::optional<std::filesystem::path>;

TEST(File, RefusesWhatIsNotThereOrThereOrNoRegularFileOrHeld) {
    TempFolder folder;
    const auto path = writeFile(folder / "held", {std::byte{1}});
    EXPECT_EQ(File::openExclusive(folder / "missing").error(),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(File::createNew(path).error(), std::errc::file_exists);
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
        ASSERT_FALSE(file->writeAll(std::as_bytes(std::span(std::string_view(written)))));
        ASSERT_FALSE(file->close());
        EXPECT_EQ(readText(path), expected);
    }
    ASSERT_TRUE(File::openProgramFile(folder / "report", ProgramFileAccess::Append));
    EXPECT_EQ(readText(folder / "report"), "");
}

Result<TemporaryFile> written(const std::filesystem::path& target) {
    Result<TemporaryFile> temporary = TemporaryFile::createBeside(target);
    if (temporary) {
        EXPECT_FALSE(temporary->file().writeAll(patternBytes(5000)));
    }
    return temporary;
}

TEST(TemporaryFile, CommitReplacesOnlyWhatTheTargetsNameStoodFor) {
    TempFolder folder;
    const auto target = folder / "target.txt";
    {
        Result<TemporaryFile> temporary = written(target);
        writeFile(target, {std::byte{7}});
        EXPECT_TRUE(temporary->commit(std::nullopt, {}).error());
    }
    EXPECT_EQ(readText(target), "\x07");
    {
        const FileState before = *regularFileState(target);
        Result<TemporaryFile> temporary = written(target);
        writeFile(folder / "other", {std::byte{8}});
        std::filesystem::rename(folder / "other", target);
        EXPECT_EQ(temporary->commit(before, {}).error(), PlatformError::FileReplaced);
    }
    EXPECT_EQ(readText(target), "\x08");
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

TEST(ErrorText, DescribesARealFailureOnOneCleanLine) {
    TempFolder folder;
    const std::string text = describeError(File::openForReading(folder / "missing").error());
    EXPECT_TRUE(!text.empty() && text.find_first_of("\r\n") == std::string::npos &&
                text.back() != ' ')
        << text;
    const auto invalid = std::make_error_code(std::errc::invalid_argument);
    EXPECT_EQ(describeError(invalid), invalid.message());
}

constexpr std::uint32_t ClassicBits = 0x27;

std::filesystem::path makeFile(const std::filesystem::path& path, FileAttributes attributes = {}) {
    EXPECT_FALSE(writeAttributes(writeFile(path, {std::byte{7}}), attributes));
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

// Windows looks a name up as a pattern; on POSIX "*" and "?" stand for themselves.
TEST(DirectoryLookup, MaskAndWildcardsDecideWhatIsFound) {
    constexpr bool patterns = std::is_same_v<std::filesystem::path::value_type, wchar_t>;
    TempFolder folder;
    const std::filesystem::path chinese(u8"加密文件.txt");
    std::filesystem::create_directory(folder / "a-folder.txt");
    makeFile(folder / "b.txt", FileAttribute::Hidden);
    makeFile(folder / "c.txt", FileAttribute::ReadOnly | FileAttribute::Archive);
    makeFile(folder / "d.dat");
    makeFile(folder / "system.txt", FileAttribute::System);
    makeFile(folder / "both.txt", FileAttribute::Hidden | FileAttribute::System);
    makeFile(folder.path() / chinese, FileAttribute::Hidden);
    const Found none;
    const auto pattern = [&](const Found& match) { return patterns ? match : none; };
    using namespace LookupMask;
    // clang-format off
    const std::vector<std::tuple<std::filesystem::path, std::uint32_t, Found>> cases{
        {"c.txt", Normal, "c.txt"}, {"b.txt", Normal, none}, {"system.txt", Normal, none},
        {"b.txt", AllFiles, "b.txt"}, {"system.txt", AllFiles, "system.txt"},
        {"both.txt", Hidden, none}, {"both.txt", AllFiles, "both.txt"},
        {"missing.txt", AllFiles, none}, {"a-folder.txt", AllFiles, none}, {"", AllFiles, none},
        {"*.txt", Normal, pattern("c.txt")}, {"?.dat", Normal, pattern("d.dat")},
        {chinese, Normal, none}, {chinese, Hidden, chinese}, {u8"*文件.txt", Hidden, pattern(chinese)}};
    // clang-format on
    for (const auto& [name, mask, found] : cases)
        EXPECT_EQ(findFirstFile(folder.path() / name, mask), found) << name << " " << mask;
    if (!patterns) {
        EXPECT_EQ(findFirstFile(makeFile(folder / "c.*"), LookupMask::Normal), Found("c.*"));
    }
}

#ifndef _WIN32
constexpr uid_t NobodyId = 65534;

TEST(PermissionBits, ReadOnlyTakesEveryWriteBitAndOnlyTheOwnersCountsForIt) {
    TempFolder folder;
    const auto file = makeFile(folder / "c.txt");
    using std::filesystem::perms;
    const auto mode = [&] { return std::filesystem::status(file).permissions(); };
    std::filesystem::permissions(file, perms(0664));
    ASSERT_FALSE(writeAttributes(file, FileAttribute::ReadOnly | FileAttribute::Hidden));
    EXPECT_EQ(mode(), perms(0444));
    ASSERT_FALSE(clearAttributes(file));
    EXPECT_EQ(mode(), perms(0644));
    std::filesystem::permissions(file, perms(0464));
    EXPECT_TRUE(readAttributes(file)->none());
    ASSERT_FALSE(writeAttributes(file, FileAttribute::Hidden));
    EXPECT_EQ(mode(), perms(0464));
    EXPECT_EQ(*readAttributes(file), FileAttributes(FileAttribute::Hidden));
}

// Another user may have put a name first where the program keeps its own
// files: nothing is followed or made elsewhere, and nothing waits.
TEST(ProgramFile, OnlyTheUsersOwnRegularFileWithOneNameIsOpened) {
    TempFolder folder;
    const std::vector<std::byte> secret = patternBytes(100);
    writeFile(folder / "victim", secret);
    std::filesystem::create_symlink(folder / "victim", folder / "link");
    std::filesystem::create_symlink(folder / "nowhere", folder / "dangling");
    std::filesystem::create_hard_link(folder / "victim", folder / "second-name");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    std::vector<std::pair<std::string, std::error_code>> cases = {
        {"link", PlatformError::NotUsersOwnFile},
        {"dangling", PlatformError::NotUsersOwnFile},
        {"second-name", PlatformError::NotUsersOwnFile},
        {"fifo", PlatformError::NotRegularFile}};
    if (::geteuid() == 0) {
        writeFile(folder / "others", {});
        ASSERT_EQ(::chown((folder / "others").c_str(), NobodyId, NobodyId), 0);
        cases.emplace_back("others", PlatformError::NotUsersOwnFile);
    }
    for (const auto access :
         {ProgramFileAccess::Read, ProgramFileAccess::ReadWrite, ProgramFileAccess::Append})
        for (const auto& [name, refusal] : cases)
            EXPECT_EQ(File::openProgramFile(folder / name, access).error(), refusal)
                << name << ", access " << static_cast<int>(access);
    EXPECT_EQ(readFile(folder / "victim"), secret);
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere")) << "a link's target was made";
}

// Where anyone may add a name, a link another user put there leads nowhere:
// the system refuses to follow it itself (protected_symlinks), and so does the
// program when it follows links to find the file to replace.
TEST(FollowLinks, ALinkAnotherUserPutWhereAnyoneMayAddNamesIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root gives links away";
    TempFolder folder;
    const auto open = folder / "open";
    std::filesystem::create_directory(open);
    ASSERT_EQ(::chmod(open.c_str(), 01777), 0);
    for (const auto& [name, owner, followed] : std::vector<std::tuple<std::string, uid_t, bool>>{
             {"planted", NobodyId, false}, {"own", ::geteuid(), true}}) {
        std::filesystem::create_symlink(folder / "victim", open / name);
        ASSERT_EQ(::lchown((open / name).c_str(), owner, owner), 0);
        EXPECT_EQ(static_cast<bool>(followLinks(open / name)), followed) << name;
    }
    EXPECT_EQ(followLinks(open / "planted").error(), std::errc::permission_denied);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0); // not sticky: the name is anyone's to swap anyway
    EXPECT_EQ(*followLinks(open / "planted"), folder / "victim");
}

TEST(ProgramFile, AFolderIsSharedWhenItsGroupOrEveryoneMayWriteOrItIsAnotherUsers) {
    TempFolder folder;
    int number = 0;
    for (const auto& [mode, givenAway, shared] : std::vector<std::tuple<mode_t, bool, bool>>{
             {01703, false, true}, {0775, false, true}, {0755, false, false}, {0755, true, true}}) {
        const auto tested = folder / std::to_string(number++);
        std::filesystem::create_directory(tested);
        ASSERT_EQ(::chmod(tested.c_str(), mode), 0);
        if (givenAway && ::chown(tested.c_str(), NobodyId, NobodyId) != 0)
            continue; // only root gives folders away
        EXPECT_EQ(othersMayWriteIn(tested), shared) << std::oct << mode << " " << givenAway;
    }
    EXPECT_TRUE(othersMayWriteIn(folder / "missing"));
}
#endif

#ifdef _WIN32
// A name too long for the system's plain form reaches it in the raw one, full
// and clean; shorter names and raw ones go as they are.
TEST(ApiPath, LongNamesGoInTheRawFormFullAndClean) {
    using win32::apiPath;
    const std::wstring x(100, L'x'), y = x + L"\\" + x + L"\\" + x;
    EXPECT_EQ(apiPath(L"C:\\" + x + L"/z\\..\\" + x + L"\\" + x), L"\\\\?\\C:\\" + y);
    EXPECT_EQ(apiPath(L"\\\\host\\share\\" + y), L"\\\\?\\UNC\\host\\share\\" + y);
    for (const std::wstring& asIs : {std::wstring(L"C:\\a/../b"), L"\\\\?\\C:\\" + y})
        EXPECT_EQ(apiPath(asIs), asIs);
}
#endif

} // namespace
} // namespace veskard::test
