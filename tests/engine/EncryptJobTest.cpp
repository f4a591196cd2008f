#include "engine/EncryptJob.h"
#include "engine/DecryptJob.h"
#include "engine/EngineError.h"
#include "engine/RecordFormat.h"
#include "platform/ErrorText.h"
#include "platform/FileAttributes.h"
#include "support/FixedClock.h"
#include "support/NativeAttributes.h"
#include "support/RecordingEvents.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace veskard;
using namespace veskard::engine;
using platform::FileAttribute;
using platform::FileAttributes;
using test::readFile;
using test::writeFile;

namespace {

const std::string br = "\r\n";

class EncryptJobTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::RecordingEvents events;
    test::FixedClock clock{test::localTime(2026, 12, 6, 9, 30, 10)};
    SystemRandom random;
    FixedTextFormats formats;
    EncryptJob job{{events, clock, random, formats}};

    std::filesystem::path makeFile(const std::string& name, std::size_t size) {
        const auto path = folder / name;
        writeFile(path, test::patternBytes(size, static_cast<unsigned>(size)));
        return path;
    }

    JobStatus lock(const std::filesystem::path& source, const std::filesystem::path& target,
                   std::u16string_view password = u"pw") {
        const JobStatus loaded = job.load(source);
        if (!loaded.ok())
            return loaded;
        return job.encipherTo(target, password);
    }

    std::vector<std::byte> unlock(const std::filesystem::path& enciphered) {
        test::RecordingEvents quiet;
        DecryptJob decrypt({quiet, clock, random, formats});
        EXPECT_TRUE(decrypt.openEnciphered(enciphered).ok());
        const auto restored = folder / "restored.check";
        std::filesystem::remove(restored);
        EXPECT_TRUE(decrypt.restoreTo(restored).ok());
        return readFile(restored);
    }
};

} // namespace

TEST_F(EncryptJobTest, InPlaceLockWritesTheWholeLogKeepsAttributesAndReportsEveryByte) {
    const auto path = makeFile("report.doc", 2048);
    const std::vector<std::byte> plain = readFile(path);
    const FileAttributes attributes = FileAttribute::Hidden | FileAttribute::Archive;
    ASSERT_FALSE(platform::writeAttributes(path, attributes));

    ASSERT_TRUE(job.load(path).ok());
    EXPECT_EQ(events.changes.front().kind, LogChange::Kind::Replace);
    clock.set(test::localTime(2026, 12, 6, 9, 30, 15));
    const JobStatus status = job.encipherTo(path, u"pw");
    ASSERT_TRUE(status.ok()) << status.cause().message();

    EXPECT_EQ(*platform::readAttributes(path), test::native::asStored(attributes));
    EXPECT_EQ(unlock(path), plain);
    const std::vector<std::string> expected{"******** Veskard v1.6 ********",
                                            "",
                                            "开始时间：2026-12-06 09:30:10",
                                            "加密文件：" + platform::displayName(path),
                                            "文件大小：2,048 字节",
                                            "装入文件...   …… OK！",
                                            "正在处理文件...",
                                            "设置密码...   …… OK！",
                                            "得到文件的属性...  …… OK！",
                                            "设置文件的属性...  …… OK！",
                                            "正执行加密算法...  …… 100% 完成",
                                            "正在写入数据...    …… OK！",
                                            "保存文件信息...",
                                            "加密成功！",
                                            "结束时间：2026-12-06 09:30:15",
                                            "用时：5秒",
                                            ""};
    EXPECT_EQ(events.logLines(), expected);
    // The progress line is rewritten only as its percentage changes, up to 100.
    const auto rewrites = std::count_if(events.changes.begin(), events.changes.end(), [](auto& c) {
        return c.kind == LogChange::Kind::RewriteLastLine;
    });
    EXPECT_EQ(rewrites, 100);

    // Each byte of the record is counted written and read back, in whole percents.
    const std::uint64_t total = 2 * std::filesystem::file_size(path);
    ASSERT_GE(events.reports.size(), 2u);
    EXPECT_EQ(events.reports.front(), (ByteProgress{0, total}));
    EXPECT_EQ(events.reports.back(), (ByteProgress{total, total}));
    // Each report a whole percent further than the last.
    EXPECT_TRUE(std::adjacent_find(events.reports.begin(), events.reports.end(),
                                   [](auto& a, auto& b) { return a.percent() >= b.percent(); }) ==
                events.reports.end());
}

// Another file is replaced keeping what it had, the source stays as it was,
// and a second lock starts the log afresh.
TEST_F(EncryptJobTest, LockToAnotherFileKeepsTheSourceAndTheTargetsAttributes) {
    ASSERT_TRUE(lock(makeFile("first.txt", 999), folder / "first.locked").ok());
    const auto source = makeFile("source.txt", 5000);
    const std::vector<std::byte> plain = readFile(source);
    ASSERT_FALSE(platform::writeAttributes(source, FileAttribute::Hidden));
    const auto target = makeFile("target.bin", 20000);
    const FileAttributes kept = FileAttribute::System | FileAttribute::ReadOnly;
    ASSERT_FALSE(platform::writeAttributes(target, kept));

    ASSERT_TRUE(lock(source, target).ok());
    EXPECT_EQ(readFile(source), plain);
    EXPECT_EQ(*platform::readAttributes(source), test::native::asStored(FileAttribute::Hidden));
    EXPECT_EQ(*platform::readAttributes(target), test::native::asStored(kept));
    const std::vector<std::string> lines = events.logLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "******** Veskard v1.6 ********"), 1);
    EXPECT_EQ(lines[4], "文件大小：5,000 字节");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "得到文件的属性...  …… OK！"), 0);

    // Exactly the record, with nothing of the longer old content after it.
    test::RecordingEvents quiet;
    DecryptJob decrypt({quiet, clock, random, formats});
    ASSERT_TRUE(decrypt.openEnciphered(target).ok());
    EXPECT_EQ(decrypt.opened()->bytesAfterRecord, 0u);
    EXPECT_EQ(unlock(target), plain);
}

TEST_F(EncryptJobTest, RefusalsOfLoad) {
    JobStatus status = job.load(makeFile("empty.txt", 0));
    EXPECT_EQ(status.cause(), EngineError::EmptyFile);
    EXPECT_TRUE(status.notice());
    EXPECT_TRUE(events.log.text().ends_with("文件大小：0 字节" + br + "装入文件...   …… OK！"));

    status = job.load(makeFile("small.txt", 100));
    EXPECT_EQ(status.cause(), EngineError::FileTooSmall);
    EXPECT_TRUE(status.notice());

    const std::string before = events.log.text();
    status = job.load(folder / "missing.txt");
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());
    EXPECT_EQ(events.log.text(), before);

    EXPECT_TRUE(job.load(makeFile("ok.txt", 101)).ok());
    EXPECT_EQ(job.loadedSize(), 101u);
}

TEST_F(EncryptJobTest, FailuresLeaveTheFileAsItWasAndSayWhatHappened) {
    const auto path = makeFile("keep.txt", 3000);
    const std::vector<std::byte> plain = readFile(path);

    // Passwords the record cannot hold are refused before anything is touched.
    JobStatus status = lock(path, path, u"");
    EXPECT_EQ(status.cause(), EngineError::EmptyPassword);
    EXPECT_TRUE(events.log.text().ends_with(br + "设置密码...   …… OK！" + br + "写入失败。" + br));
    status = lock(path, path, std::u16string(MaximumPassCodes + 1, u'x'));
    EXPECT_EQ(status.cause(), EngineError::PasswordTooLong);
    // A character the record's code page lacks would lock the file away.
    status = lock(path, path, u"pw\U0001F600");
    EXPECT_EQ(status.cause(), EngineError::UnstorablePassword);

    // A failure that is not another program's hold is told as what it is.
    status = lock(path, folder / "no-such-folder" / "out.bin");
    ASSERT_TRUE(status.notice());
    EXPECT_EQ(status.cause(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(status.notice()->text, platform::describeError(status.cause()) + "！    ");
    EXPECT_TRUE(events.log.text().ends_with("正在写入数据...  " + br + "写入失败。" + br));

    // A source that changed after it was loaded.
    ASSERT_TRUE(job.load(path).ok());
    writeFile(path, test::patternBytes(3001));
    EXPECT_EQ(job.encipherTo(path, u"pw").cause(), EngineError::SourceChanged);
    EXPECT_EQ(readFile(path), test::patternBytes(3001));
    writeFile(path, plain);

    // An empty target fails without a word.
    ASSERT_TRUE(job.load(path).ok());
    status = job.encipherTo({}, u"pw");
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());
    EXPECT_EQ(readFile(path), plain);
    EXPECT_EQ(folder.names(), std::vector<std::filesystem::path>{"keep.txt"});
}

TEST_F(EncryptJobTest, AStopAskedForMidwayLeavesNothingBehind) {
    const auto path = makeFile("big.bin", 8 << 20);
    const std::vector<std::byte> plain = readFile(path);
    std::stop_source stop;
    events.onProgress = [&](const ByteProgress& progress) {
        if (progress.percent() >= 20)
            stop.request_stop();
    };
    ASSERT_TRUE(job.load(path).ok());
    const JobStatus status = job.encipherTo(path, u"pw", stop.get_token());

    EXPECT_EQ(status.cause(), std::errc::operation_canceled);
    EXPECT_FALSE(status.notice());
    EXPECT_LT(events.reports.back().percent(), 50);
    EXPECT_EQ(events.log.text().find("写入失败"), std::string::npos);
    EXPECT_EQ(readFile(path), plain);
    EXPECT_EQ(folder.names(), std::vector<std::filesystem::path>{"big.bin"});
}

TEST_F(EncryptJobTest, LockingThroughALinkReplacesTheFileItLeadsTo) {
    const auto real = makeFile("real.txt", 4000);
    const std::vector<std::byte> plain = readFile(real);
    const auto link = folder / "link.txt";
    std::error_code error;
    std::filesystem::create_symlink(real, link, error);
    if (error)
        GTEST_SKIP() << "no symbolic links here: " << error.message();

    ASSERT_TRUE(lock(link, link).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link stays a link";
    EXPECT_NE(readFile(real), plain);

    DecryptJob decrypt({events, clock, random, formats});
    ASSERT_TRUE(decrypt.openEnciphered(link).ok());
    ASSERT_TRUE(decrypt.restoreTo(link).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(real), plain);
}

// Names the system refuses come back as failures, never as exceptions.
TEST_F(EncryptJobTest, HostilePathsFailCleanlyInEveryStep) {
    const auto plain = makeFile("plain.txt", 3000);
    const auto locked = makeFile("locked.bin", 3000);
    ASSERT_TRUE(lock(locked, locked).ok());
    std::vector<std::filesystem::path> hostile{folder / std::string(300, 'n'),
                                               folder / std::string(300, 'n') / "x"};
    std::error_code error;
    std::filesystem::create_symlink("loop-b", folder / "loop-a", error);
    std::filesystem::create_symlink("loop-a", folder / "loop-b", error);
    if (!error)
        hostile.push_back(folder / "loop-a");

    test::RecordingEvents quiet;
    DecryptJob decrypt({quiet, clock, random, formats});
    for (const std::filesystem::path& path : hostile) {
        SCOPED_TRACE(path.filename().string().substr(0, 10));
        EXPECT_FALSE(job.load(path).ok());
        EXPECT_FALSE(decrypt.openEnciphered(path).ok());
        ASSERT_TRUE(job.load(plain).ok());
        EXPECT_FALSE(job.encipherTo(path, u"pw").ok());
        ASSERT_TRUE(decrypt.openEnciphered(locked).ok());
        EXPECT_FALSE(decrypt.restoreTo(path).ok());
    }
}
