#include "platform/File.h"
#include "platform/PlatformError.h"
#include "platform/SharedFolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

// The program's own files, where another user may have put a name first: only
// the user's own regular file with one name is opened, nothing is followed or
// made elsewhere, and nothing waits.
using namespace veskard::platform;
using veskard::test::writeFile;

namespace {

constexpr uid_t NobodyId = 65534;

TEST(ProgramFile, OnlyTheUsersOwnRegularFileWithOneNameIsOpened) {
    veskard::test::TempFolder folder;
    const std::vector<std::byte> secret = veskard::test::patternBytes(100);
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
    EXPECT_EQ(veskard::test::readFile(folder / "victim"), secret);
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere")) << "a link's target was made";
}

// Folders others may write to, by their mode and their owner.
TEST(ProgramFile, AFolderIsSharedWhenItsGroupOrEveryoneMayWriteOrItIsAnotherUsers) {
    veskard::test::TempFolder folder;
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

} // namespace
