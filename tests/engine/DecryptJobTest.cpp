#include "engine/DecryptJob.h"
#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "engine/RecordFormat.h"
#include "platform/FileAttributes.h"
#include "support/Encipher.h"
#include "support/NativeAttributes.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace veskard;
using namespace veskard::engine;
using platform::FileAttribute;
using platform::FileAttributes;
using test::readFile;
using test::writeFile;

namespace {

class DecryptJobTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    SystemRandom random;
    DecryptJob job;

    // A locked file and the plain bytes it holds.
    std::pair<std::filesystem::path, std::vector<std::byte>>
    makeLocked(const std::string& name, std::size_t size, std::u16string_view password = u"中文") {
        std::vector<std::byte> plain = test::patternBytes(size, static_cast<unsigned>(size) + 3);
        const auto path = folder / name;
        writeFile(path, test::encipher(plain, password, random));
        return {path, std::move(plain)};
    }
};

} // namespace

TEST_F(DecryptJobTest, OpensARecordAndDecodesItsPassword) {
    const auto [path, plain] = makeLocked("a.locked", 101, u"Ab中");
    const JobStatus status = job.openEnciphered(path);
    ASSERT_TRUE(status.ok());
    EXPECT_EQ(job.opened()->storedPassword, u"Ab中");
    EXPECT_EQ(job.opened()->record.plainSize(), 101u);
    EXPECT_EQ(job.opened()->path, path);
}

TEST_F(DecryptJobTest, RefusesEmptyForeignAndUnreadableFiles) {
    writeFile(folder / "empty", {});
    JobStatus status = job.openEnciphered(folder / "empty");
    EXPECT_EQ(status.notice(), Messages::noDataInFile(folder / "empty"));
    EXPECT_EQ(status.notice()->text, "'" + displayPath(folder / "empty") + "'未有任何数据！");

    std::ofstream(folder / "notes.txt") << "Dear diary, today I wrote a plain text file.\n";
    status = job.openEnciphered(folder / "notes.txt");
    EXPECT_EQ(status.cause(), EngineError::DamagedRecord);
    EXPECT_EQ(status.notice(),
              (Notice{Icon::Exclamation,
                      "很抱歉！你所选择的文件可能已破坏     \n或并沒有经过本程序加密。"}));

    // A refused path is silent; a missing file names the system's reason.
    std::filesystem::create_directory(folder / "folder");
    status = job.openEnciphered(folder / "folder");
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());
    status = job.openEnciphered(folder / "missing");
    ASSERT_TRUE(status.notice());
    EXPECT_EQ(status.notice()->icon, Icon::Stop);
    EXPECT_TRUE(status.notice()->text.ends_with("！    "));

    EXPECT_FALSE(job.opened()) << "nothing was chosen";
}

TEST_F(DecryptJobTest, RestoresInPlaceWithTheEncipheredFilesAttributes) {
    for (const std::size_t size : {101u, 1023u, 1050u, 1u << 20}) {
        const auto [path, plain] = makeLocked("in-place.locked", size);
        const FileAttributes attributes = FileAttribute::Hidden | FileAttribute::ReadOnly;
        ASSERT_FALSE(platform::writeAttributes(path, attributes));
        ASSERT_TRUE(job.openEnciphered(path).ok());
        const JobStatus status = job.restoreTo(path);
        ASSERT_TRUE(status.ok()) << status.cause().message();
        EXPECT_EQ(readFile(path), plain) << size;
        EXPECT_EQ(*platform::readAttributes(path), test::native::asStored(attributes));
        EXPECT_FALSE(job.opened()) << "the record is released after a restore";
        ASSERT_FALSE(platform::clearAttributes(path));
    }
}

TEST_F(DecryptJobTest, RestoresToNewAndExistingTargets) {
    auto [path, plain] = makeLocked("b.locked", 70000);
    // A tail after the record must not reach the restored file.
    std::ofstream(path, std::ios::app | std::ios::binary) << "trailing bytes";
    const std::vector<std::byte> locked = readFile(path);

    ASSERT_TRUE(job.openEnciphered(path).ok());
    ASSERT_TRUE(job.restoreTo(folder / "new.bin").ok());
    EXPECT_EQ(readFile(folder / "new.bin"), plain);
    EXPECT_EQ(*platform::readAttributes(folder / "new.bin"), test::native::asStored({}));
    EXPECT_EQ(readFile(path), locked);

    // An existing, longer target keeps its own attributes and nothing of its old content.
    writeFile(folder / "old.bin", test::patternBytes(200000, 5));
    ASSERT_FALSE(platform::writeAttributes(folder / "old.bin", FileAttribute::System));
    ASSERT_TRUE(job.openEnciphered(path).ok());
    ASSERT_TRUE(job.restoreTo(folder / "old.bin").ok());
    EXPECT_EQ(readFile(folder / "old.bin"), plain);
    EXPECT_EQ(*platform::readAttributes(folder / "old.bin"),
              test::native::asStored(FileAttribute::System));
}

TEST_F(DecryptJobTest, RefusesToRestoreFromAFileThatChangedSinceItWasOpened) {
    const auto [path, plain] = makeLocked("c.locked", 5000);
    ASSERT_TRUE(job.openEnciphered(path).ok());
    // Same size, new content and time: another record written over it.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto [other, otherPlain] = makeLocked("d.locked", 5000);
    writeFile(path, readFile(other));

    const JobStatus status = job.restoreTo(folder / "out.bin");
    EXPECT_EQ(status.cause(), EngineError::SourceChanged);
    EXPECT_EQ(status.notice(), Messages::restoreWriteFailed());
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bin"));
    EXPECT_TRUE(job.opened()) << "the record stays as it was read";
}

TEST_F(DecryptJobTest, RestoreFailuresLeaveTheTargetAlone) {
    const auto [path, plain] = makeLocked("e.locked", 3000);
    const std::vector<std::byte> locked = readFile(path);
    ASSERT_TRUE(job.openEnciphered(path).ok());

    JobStatus status = job.restoreTo(folder / "missing-folder" / "x.bin");
    EXPECT_EQ(status.notice()->text,
              "有另外一个程序正在打开该文件，请关闭这个程序，才能继续操作！");
    std::filesystem::create_directory(folder / "a-folder");
    status = job.restoreTo(folder / "a-folder");
    EXPECT_EQ(status.notice(), Messages::restoreWriteFailed());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a-folder"));

    status = job.restoreTo({});
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());
    EXPECT_EQ(readFile(path), locked);
}
