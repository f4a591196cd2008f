#include "engine/DecryptJob.h"
#include "engine/EngineError.h"
#include "engine/RecordFormat.h"
#include "platform/ErrorText.h"
#include "platform/FileAttributes.h"
#include "platform/PlatformError.h"
#include "support/Encipher.h"
#include "support/FixedClock.h"
#include "support/NativeAttributes.h"
#include "support/RecordingEvents.h"
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
    test::RecordingEvents events;
    test::FixedClock clock{test::localTime(2026, 12, 6, 9, 30, 10)};
    SystemRandom random;
    FixedTextFormats formats;
    DecryptJob job{{events, clock, random, formats}};

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

TEST_F(DecryptJobTest, OpensARecordAndCountsTheBytesAfterIt) {
    const auto [path, plain] = makeLocked("a.locked", 101, u"Ab中");
    std::ofstream(path, std::ios::app | std::ios::binary) << "tail";
    ASSERT_TRUE(job.openEnciphered(path).ok());
    EXPECT_EQ(job.opened()->storedPassword, u"Ab中");
    EXPECT_EQ(job.opened()->record.plainSize(), 101u);
    EXPECT_EQ(job.opened()->bytesAfterRecord, 4u);
    EXPECT_TRUE(events.changes.empty()) << "decrypting writes nothing to the log";
}

TEST_F(DecryptJobTest, RefusesEmptyForeignAndUnreadableFiles) {
    writeFile(folder / "empty", {});
    EXPECT_EQ(job.openEnciphered(folder / "empty").cause(), EngineError::EmptyFile);
    std::ofstream(folder / "notes.txt") << "Dear diary, today I wrote a plain text file.\n";
    EXPECT_EQ(job.openEnciphered(folder / "notes.txt").cause(), EngineError::DamagedRecord);
    std::filesystem::create_directory(folder / "folder");
    EXPECT_EQ(job.openEnciphered(folder / "folder").cause(),
              platform::PlatformError::NotRegularFile);
    EXPECT_EQ(job.openEnciphered(folder / "missing").cause(), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(job.opened()) << "nothing was chosen";
}

// Windows refuses to replace a read-only file; it must end read-only all the same.
TEST_F(DecryptJobTest, RestoresInPlaceKeepingReadOnlyAndHidden) {
    const auto [path, plain] = makeLocked("in-place.locked", 70000);
    const FileAttributes attributes = FileAttribute::Hidden | FileAttribute::ReadOnly;
    ASSERT_FALSE(platform::writeAttributes(path, attributes));
    ASSERT_TRUE(job.openEnciphered(path).ok());
    const JobStatus status = job.restoreTo(path);
    ASSERT_TRUE(status.ok()) << status.cause().message();
    EXPECT_EQ(readFile(path), plain);
    EXPECT_EQ(*platform::readAttributes(path), test::native::asStored(attributes));
    EXPECT_FALSE(job.opened()) << "the record is released after a restore";
    EXPECT_EQ(folder.names(), std::vector<std::filesystem::path>{"in-place.locked"});
}

TEST_F(DecryptJobTest, RestoresToNewAndExistingTargetsAndWarnsOfBytesLeftOut) {
    auto [path, plain] = makeLocked("b.locked", 70000);
    std::ofstream(path, std::ios::app | std::ios::binary) << "trailing bytes";
    const std::vector<std::byte> locked = readFile(path);

    ASSERT_TRUE(job.openEnciphered(path).ok());
    JobStatus status = job.restoreTo(folder / "new.bin");
    ASSERT_TRUE(status.ok());
    EXPECT_EQ(readFile(folder / "new.bin"), plain);
    EXPECT_EQ(*platform::readAttributes(folder / "new.bin"), test::native::asStored({}));
    EXPECT_EQ(readFile(path), locked);
    ASSERT_EQ(status.warnings().size(), 1u);
    EXPECT_NE(status.warnings()[0].text.find(" 14 "), std::string::npos);
    EXPECT_EQ(events.reports.back(), (ByteProgress{2 * plain.size(), 2 * plain.size()}));

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

    EXPECT_EQ(job.restoreTo(folder / "out.bin").cause(), EngineError::SourceChanged);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bin"));
    EXPECT_TRUE(job.opened()) << "the record stays as it was read";
}

TEST_F(DecryptJobTest, RestoreFailuresLeaveTheTargetAloneAndSayWhatHappened) {
    const auto [path, plain] = makeLocked("e.locked", 3000);
    const std::vector<std::byte> locked = readFile(path);
    ASSERT_TRUE(job.openEnciphered(path).ok());

    JobStatus status = job.restoreTo(folder / "missing-folder" / "x.bin");
    ASSERT_TRUE(status.notice());
    EXPECT_EQ(status.cause(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(status.notice()->text, platform::describeError(status.cause()) + "！    ");
    std::filesystem::create_directory(folder / "a-folder");
    EXPECT_EQ(job.restoreTo(folder / "a-folder").cause(), platform::PlatformError::NotRegularFile);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a-folder"));

    status = job.restoreTo({});
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());
    EXPECT_EQ(readFile(path), locked);
    EXPECT_EQ(folder.names(), (std::vector<std::filesystem::path>{"a-folder", "e.locked"}));
}
