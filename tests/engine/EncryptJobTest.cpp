#include "engine/EncryptJob.h"
#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "support/FixedClock.h"
#include "support/RecordingEvents.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

// The encrypt job as a window drives it: loaded first, enciphered later, each
// step told through the log and the progress. What it writes, and how it
// fails on real files, the command line's tests check on both systems.
using namespace veskard;
using namespace veskard::engine;
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
};

} // namespace

// The whole log of an in-place lock, its end taken when the job ends.
TEST_F(EncryptJobTest, InPlaceLockLogsEveryStepAndReportsEveryByte) {
    const auto path = makeFile("report.doc", 2048);
    ASSERT_TRUE(job.load(path).ok());
    EXPECT_EQ(events.changes.front().kind, LogChange::Kind::Replace);
    clock.set(test::localTime(2026, 12, 6, 9, 30, 15));
    const JobStatus status = job.encipherTo(path, u"pw");
    ASSERT_TRUE(status.ok()) << status.cause().message();
    EXPECT_EQ(events.log.text(),
              "******** Veskard v1.6 ********" + br + br + "开始时间：2026-12-06 09:30:10" + br +
                  "加密文件：" + path.string() + br + "文件大小：2,048 字节" + br +
                  "装入文件...   …… OK！" + br + "正在处理文件..." + br + "设置密码...   …… OK！" +
                  br + "得到文件的属性...  …… OK！" + br + "设置文件的属性...  …… OK！" + br +
                  "正执行加密算法...  …… 100% 完成" + br + "正在写入数据...    …… OK！" + br +
                  "保存文件信息..." + br + "加密成功！" + br + "结束时间：2026-12-06 09:30:15" +
                  br + "用时：5秒" + br);
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

// Which loads are refused and in what words, the command line's tests check;
// here, what the log shows of them.
TEST_F(EncryptJobTest, RefusalsOfLoad) {
    EXPECT_FALSE(job.load(makeFile("empty.txt", 0)).ok());
    EXPECT_TRUE(events.log.text().ends_with("文件大小：0 字节" + br + "装入文件...   …… OK！"));

    const std::string before = events.log.text();
    const JobStatus status = job.load(folder / "missing.txt");
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());
    EXPECT_EQ(events.log.text(), before);

    EXPECT_TRUE(job.load(makeFile("ok.txt", 101)).ok());
    EXPECT_EQ(job.loadedSize(), 101u);
    const std::string log = events.log.text();
    EXPECT_EQ(log.find("Veskard v1.6"), log.rfind("Veskard v1.6")) << "each load starts afresh";
}

// Locking a record again would lock the record: the first unlock would give
// it back, still locked. Only a file that reads as a whole record is one;
// bytes that merely start like one (a record cut short, with more after it)
// are plain.
TEST_F(EncryptJobTest, AFileLockedAlreadyIsLockedAgainOnlyWhenAllowed) {
    const auto path = makeFile("twice.doc", 3000);
    ASSERT_TRUE(lock(path, path).ok());
    const std::vector<std::byte> record = readFile(path);
    EXPECT_TRUE(isEnciphered(path));
    const JobStatus refused = job.load(path);
    EXPECT_EQ(refused.cause(), EngineError::AlreadyEnciphered);
    EXPECT_EQ(refused.notice(), Messages::alreadyEnciphered());
    EXPECT_TRUE(job.load(path, Relock::Allow).ok());

    std::vector<std::byte> cut(record.begin(), record.begin() + 2000);
    cut.resize(5000, std::byte{0x55});
    const auto lookalike = folder / "lookalike.bin";
    writeFile(lookalike, cut);
    EXPECT_FALSE(isEnciphered(lookalike));
    EXPECT_TRUE(job.load(lookalike).ok());
    EXPECT_FALSE(isEnciphered(makeFile("plain.txt", 3000)));
    EXPECT_FALSE(isEnciphered(folder / "missing.txt"));

    // A strong lock is a locked file too, even of a file too small for a
    // record; its header cut short is not.
    EncryptJob strong({events, clock, random, formats}, KeyCost::cheapest());
    const auto small = makeFile("small.doc", 10);
    ASSERT_TRUE(strong.load(small, Relock::Refuse, LockKind::Strong).ok());
    ASSERT_TRUE(strong.encipherTo(small, u"pw").ok());
    EXPECT_TRUE(isEnciphered(small));
    EXPECT_EQ(job.load(small).cause(), EngineError::AlreadyEnciphered);
    EXPECT_EQ(strong.load(small, Relock::Refuse, LockKind::Strong).cause(),
              EngineError::AlreadyEnciphered);
    EXPECT_TRUE(strong.load(small, Relock::Allow, LockKind::Strong).ok());
    std::vector<std::byte> header = readFile(small);
    header.resize(StrongHeaderSize - 1);
    writeFile(lookalike, header);
    EXPECT_FALSE(isEnciphered(lookalike));
}

// A POSIX file name may hold line breaks. In the log, and so in the report
// made of it, they must not end the line and start lines of their own.
TEST_F(EncryptJobTest, ControlCharactersOfTheFileNameAreMaskedInTheLog) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names hold no control characters";
#endif
    ASSERT_TRUE(job.load(makeFile("nl\necho INJECTED\r\t\x1b\x7f文件.doc", 101)).ok());
    const std::string shown = (folder / "nl?echo INJECTED????文件.doc").string();
    EXPECT_NE(events.log.text().find(br + "加密文件：" + shown + br), std::string::npos)
        << events.log.text();
}

TEST_F(EncryptJobTest, FailuresLeaveTheFileAsItWasAndEndTheLog) {
    const auto path = makeFile("keep.txt", 3000);
    const std::vector<std::byte> plain = readFile(path);

    // Which passwords the record cannot hold, the command line's tests check.
    EXPECT_EQ(lock(path, path, u"").cause(), EngineError::EmptyPassword);
    EXPECT_TRUE(events.log.text().ends_with(br + "设置密码...   …… OK！" + br + "写入失败。" + br));

    JobStatus status = lock(path, folder / "no-such-folder" / "out.bin");
    EXPECT_TRUE(status.notice()) << "a failure the window must tell";
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

// What a stopped job leaves (the file as it was, no temporary file), the
// command line's interrupted runs show; here, how the job takes the request.
TEST_F(EncryptJobTest, AStopAskedForMidwayEndsTheJobSilently) {
    const auto path = makeFile("big.bin", 8 << 20);
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
}
