#include "platform/PlatformError.h"
#include "platform/TemporaryFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

// The new content is the user's alone until it takes the target's place, and
// what another user plants under its name is never renamed, changed or removed.
using namespace veskard::platform;
using veskard::test::TempFolder;

TEST(PrivateTemporaryFile, IsTheUsersAloneAndNeverStandsInForWhatWasPlanted) {
    TempFolder folder;
    const auto target = folder / "secret.txt";
    veskard::test::writeFile(target, {std::byte{1}});
    const FileState replaced = *regularFileState(target);
    const auto planted = folder / "planted";
    veskard::test::writeFile(planted, {std::byte{9}});
    std::filesystem::path link;
    {
        const mode_t umask = ::umask(0);
        auto temporary = TemporaryFile::createBeside(target);
        ::umask(umask);
        ASSERT_TRUE(temporary);
        struct stat info {};
        ASSERT_EQ(::stat(temporary->path().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u);

        link = temporary->path();
        std::filesystem::remove(link);
        std::filesystem::create_symlink(planted, link);
        EXPECT_EQ(temporary->commit(replaced, {}).error(), PlatformError::TemporaryFileReplaced);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(veskard::test::readFile(target), std::vector<std::byte>{std::byte{1}});
    EXPECT_EQ(veskard::test::readFile(planted), std::vector<std::byte>{std::byte{9}});
}
