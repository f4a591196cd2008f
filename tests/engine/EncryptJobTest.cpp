#include "engine/DecryptJob.h"
#include "engine/EncryptJob.h"
#include "engine/EncryptLog.h"
#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "engine/RecordFormat.h"
#include "platform/FileAttributes.h"
#include "support/FixedClock.h"
#include "support/NativeAttributes.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"

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
    OperationLog log;
    test::FixedClock clock{test::localTime(2026, 12, 6, 9, 30, 15)};
    SystemRandom random;
    FixedTextFormats formats;
    EncryptJob job{{log, clock, random, formats}};
    const TimePoint start = test::localTime(2026, 12, 6, 9, 30, 10);

    std::filesystem::path makeFile(const std::string& name, std::size_t size) {
        const auto path = folder / name;
        writeFile(path, test::patternBytes(size, static_cast<unsigned>(size)));
        return path;
    }

    // Loads and enciphers as the window does, header and password lines included.
    JobStatus lock(const std::filesystem::path& source, const std::filesystem::path& target,
                   std::u16string_view password = u"pw") {
        writeEncryptHeader(log, source, std::filesystem::file_size(source), start, formats);
        const JobStatus loaded = job.load(source);
        if (!loaded.ok())
            return loaded;
        appendPasswordLines(log);
        return job.encipherTo(target, password, start);
    }

    std::vector<std::byte> unlock(const std::filesystem::path& enciphered) {
        DecryptJob decrypt;
        EXPECT_TRUE(decrypt.openEnciphered(enciphered).ok());
        const auto restored = folder / "restored.check";
        std::filesystem::remove(restored);
        EXPECT_TRUE(decrypt.restoreTo(restored).ok());
        return readFile(restored);
    }

    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        std::string text = log.text();
        for (std::size_t at; (at = text.find(br)) != std::string::npos; text.erase(0, at + 2))
            lines.push_back(text.substr(0, at));
        lines.push_back(text);
        return lines;
    }
};

} // namespace

TEST_F(EncryptJobTest, InPlaceLockOfAHiddenFileWritesTheWholeLogAndKeepsItsAttributes) {
    const auto path = makeFile("report.doc", 2048);
    const std::vector<std::byte> plain = readFile(path);
    const FileAttributes attributes = FileAttribute::Hidden | FileAttribute::Archive;
    ASSERT_FALSE(platform::writeAttributes(path, attributes));

    const JobStatus status = lock(path, path);
    ASSERT_TRUE(status.ok()) << status.cause().message();

    EXPECT_EQ(*platform::readAttributes(path), test::native::asStored(attributes));
    EXPECT_EQ(unlock(path), plain);
    const std::vector<std::string> expected{
        "******** Veskard v1.6 ********",
        "",
        "开始时间：2026-12-06 09:30:10",
        "加密文件：" + displayPath(path),
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
    EXPECT_EQ(logLines(), expected);
}

TEST_F(EncryptJobTest, ProgressIsOneLineRewrittenUpTo100) {
    const auto path = makeFile("a.bin", 200);
    writeEncryptHeader(log, path, 200, start, formats);
    ASSERT_TRUE(job.load(path).ok());
    const std::string base = log.text();
    std::vector<int> percents;
    std::size_t progressLines = 0;
    log.setListener([&](const std::string& text) {
        if (text.find("正执行加密算法") != std::string::npos && text.find("正在写入") == std::string::npos)
            progressLines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    });
    ASSERT_TRUE(job.encipherTo(folder / "out.bin", u"x", start, [&](int p) { percents.push_back(p); })
                    .ok());
    ASSERT_EQ(percents.size(), 200u);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    // Draw k of 200 is k / 2 percent; halves go to the even neighbour.
    EXPECT_EQ(percents[0], 0);
    EXPECT_EQ(percents[2], 2);
    EXPECT_EQ(percents[4], 2);
    EXPECT_EQ(percents[6], 4);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(progressLines, static_cast<std::size_t>(std::count(base.begin(), base.end(), '\n')) + 1);
    EXPECT_EQ(std::filesystem::file_size(folder / "out.bin"), 200u + 12 * 200 + 32 + 4);
}

TEST_F(EncryptJobTest, LockToAnotherFileLeavesTheSourceAndGivesTheTargetNoAttributes) {
    const auto source = makeFile("source.txt", 5000);
    const std::vector<std::byte> plain = readFile(source);
    ASSERT_FALSE(platform::writeAttributes(source, FileAttribute::Hidden));
    // An existing, longer target with attributes of its own.
    const auto target = makeFile("target.bin", 20000);
    ASSERT_FALSE(platform::writeAttributes(target, FileAttribute::System | FileAttribute::ReadOnly));

    ASSERT_TRUE(lock(source, target).ok());
    EXPECT_EQ(readFile(source), plain);
    EXPECT_EQ(*platform::readAttributes(source), test::native::asStored(FileAttribute::Hidden));
    EXPECT_EQ(*platform::readAttributes(target), test::native::asStored({}));
    EXPECT_EQ(log.text().find("得到文件的属性"), std::string::npos);

    // The target holds the record and nothing after it.
    DecryptJob decrypt;
    ASSERT_TRUE(decrypt.openEnciphered(target).ok());
    EXPECT_EQ(std::filesystem::file_size(target), recordSize(decrypt.opened()->record));
    EXPECT_EQ(unlock(target), plain);
}

TEST_F(EncryptJobTest, RefusalsOfLoad) {
    const auto empty = makeFile("empty.txt", 0);
    JobStatus status = job.load(empty);
    EXPECT_EQ(status.notice(), Messages::zeroSizeFile(empty));
    EXPECT_EQ(status.notice()->text, "'" + displayPath(empty) + "'为 0 字节！不能对其加密。");

    status = job.load(makeFile("small.txt", 100));
    EXPECT_EQ(status.notice(), (Notice{Icon::Stop, "待加密的文件必须大于 100 字节！"}));

    status = job.load(folder / "missing.txt");
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());

    EXPECT_TRUE(job.load(makeFile("ok.txt", 101)).ok());
    EXPECT_EQ(job.loadedSize(), 101u);
}

TEST_F(EncryptJobTest, WriteFailuresLeaveTheFileUntouchedAndSaySo) {
    const auto path = makeFile("keep.txt", 3000);
    const std::vector<std::byte> plain = readFile(path);
    const Notice failed{Icon::Stop, "有另外一个程序正在打开该文件，请关闭这个程序，才能对其加密！"};

    // An empty password is refused before anything is touched.
    JobStatus status = lock(path, path, u"");
    EXPECT_EQ(status.notice(), failed);
    EXPECT_EQ(status.cause(), EngineError::EmptyPassword);
    EXPECT_TRUE(log.text().ends_with("正在处理文件..." + br + "设置密码...   …… OK！" + br +
                                     "写入失败。" + br));
    EXPECT_EQ(readFile(path), plain);

    // A target in a folder that does not exist.
    status = lock(path, folder / "no-such-folder" / "out.bin");
    EXPECT_EQ(status.notice(), failed);
    EXPECT_TRUE(log.text().ends_with("正在写入数据...  " + br + "写入失败。" + br));

    // A source that grew between load and encryption.
    ASSERT_TRUE(job.load(path).ok());
    writeFile(path, test::patternBytes(3001));
    status = job.encipherTo(path, u"pw", start);
    EXPECT_EQ(status.cause(), EngineError::SourceChanged);
    EXPECT_EQ(readFile(path), test::patternBytes(3001));

    // An empty target fails without a word.
    ASSERT_TRUE(job.load(path).ok());
    const std::string before = log.text();
    status = job.encipherTo({}, u"pw", start);
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());
    EXPECT_EQ(log.text(), before);

    const auto leftovers = std::distance(std::filesystem::directory_iterator(folder.path()),
                                         std::filesystem::directory_iterator());
    EXPECT_EQ(leftovers, 1) << "no temporary file may be left behind";
}

TEST_F(EncryptJobTest, TwoLocksInARowStartTheLogAfresh) {
    const auto first = makeFile("first.txt", 999);
    const auto second = makeFile("second.txt", 1234567);
    ASSERT_TRUE(lock(first, first).ok());
    ASSERT_TRUE(lock(second, folder / "second.locked").ok());
    const std::vector<std::string> lines = logLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "******** Veskard v1.6 ********"), 1);
    EXPECT_EQ(lines[3], "加密文件：" + displayPath(second));
    EXPECT_EQ(lines[4], "文件大小：1,234,567 字节");
    EXPECT_EQ(unlock(folder / "second.locked"), readFile(second));
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
    EXPECT_EQ(unlock(link), plain);

    DecryptJob decrypt;
    ASSERT_TRUE(decrypt.openEnciphered(link).ok());
    ASSERT_TRUE(decrypt.restoreTo(link).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(real), plain);
}
