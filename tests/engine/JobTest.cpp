#include "engine/DecryptJob.h"
#include "engine/EncryptJob.h"
#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "engine/StrongFormat.h"
#include "support/Encipher.h"
#include "support/FixedClock.h"
#include "support/NativeAttributes.h"
#include "support/RecordingEvents.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <utility>

// The lock and the unlock on real files, of either kind, as the window and the
// command line drive them: what each writes, keeps and refuses.
using namespace veskard;
using namespace veskard::engine;
using platform::FileAttribute;
using test::patternBytes;
using test::readFile;
using test::writeFile;
using Names = std::vector<std::filesystem::path>;

namespace {

const std::string br = "\r\n";

class JobFixture : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::RecordingEvents events;
    test::FixedClock clock{test::localTime(2026, 12, 6, 9, 30, 10)};
    SystemRandom random;
    FixedTextFormats formats;
    EncryptJob encrypt{{events, clock, random, formats}, KeyCost::cheapest()};
    DecryptJob decrypt{{events, clock, random, formats}};
    bool locking = true;
    LockKind kind = LockKind::Classic;

    bool strong() const { return kind == LockKind::Strong; }
    // The file a job starts from: plain for a lock, locked for an unlock.
    std::filesystem::path source(const std::string& name, std::size_t size = 5000) {
        const auto path = folder / name;
        const auto plain = patternBytes(size);
        writeFile(path, locking    ? plain
                        : strong() ? test::encipherStrong(plain, u"pw")
                                   : test::encipher(plain, u"pw", random));
        return path;
    }
    // Whether `path` holds what the job makes of source(_, size).
    bool isResult(const std::filesystem::path& path, std::size_t size = 5000) {
        const auto bytes = readFile(path);
        if (locking && strong())
            return test::decipherStrong(bytes, u"pw").value() == patternBytes(size);
        return (locking ? test::decipher(bytes) : bytes) == patternBytes(size);
    }
    JobStatus start(const std::filesystem::path& path) {
        return locking ? encrypt.load(path, Relock::Refuse, kind) : decrypt.openEnciphered(path);
    }
    // Unlocking checks the password first, as every front end does.
    JobStatus finish(const std::filesystem::path& target, std::stop_token stop = {},
                     std::u16string_view password = u"pw") {
        if (locking)
            return encrypt.encipherTo(target, password, stop);
        EXPECT_EQ(decrypt.checkPassword(password).value(), PasswordCheck::Right);
        return decrypt.restoreTo(target, stop);
    }
    JobStatus run(const std::filesystem::path& from, const std::filesystem::path& to) {
        const JobStatus started = start(from);
        return started.ok() ? finish(to) : started;
    }
};

class JobTest : public JobFixture,
                public ::testing::WithParamInterface<std::tuple<bool, LockKind>> {
protected:
    JobTest() { std::tie(locking, kind) = GetParam(); }
};

std::string jobName(const ::testing::TestParamInfo<std::tuple<bool, LockKind>>& info) {
    return std::string(std::get<1>(info.param) == LockKind::Strong ? "Strong" : "") +
           (std::get<0>(info.param) ? "EncryptJob" : "DecryptJob");
}

INSTANTIATE_TEST_SUITE_P(, JobTest,
                         ::testing::Combine(::testing::Bool(),
                                            ::testing::Values(LockKind::Classic, LockKind::Strong)),
                         jobName);

TEST_P(JobTest, InPlaceGivesTheResultCountingEveryByteWrittenAndReadBack) {
    const auto path = source("a.doc", 70000);
    const JobStatus status = run(path, path);
    ASSERT_TRUE(status.ok()) << status.cause().message();
    EXPECT_TRUE(isResult(path, 70000));
    // A strong lock also reads each chunk back as soon as it is written.
    const std::uint64_t total =
        2 * std::filesystem::file_size(path) + (locking && strong() ? 70000 : 0);
    EXPECT_EQ(events.reports.back(), (ByteProgress{total, total}));
    EXPECT_EQ(folder.names(), Names{"a.doc"});
    if (!locking) {
        EXPECT_TRUE(events.changes.empty()) << "unlocking writes nothing to the log";
        EXPECT_FALSE(decrypt.opened()) << "the record is released after a restore";
    }
}

// Hidden and read-only are the user's: they stay on a file replaced in place,
// and an existing target keeps its own. A new target is a fresh file.
TEST_P(JobTest, AttributesOfTheReplacedFileStay) {
    namespace native = test::native;
    const auto path = source("hidden.doc");
    const auto chosen = FileAttribute::Hidden | FileAttribute::ReadOnly;
    native::storeAttributeWord(path, chosen.bits());
    ASSERT_TRUE(run(path, path).ok());
    EXPECT_TRUE(isResult(path));
    EXPECT_EQ(*platform::readAttributes(path), native::asStored(chosen));

    const auto from = source("from.doc");
    const auto existing = folder / "existing";
    writeFile(existing, patternBytes(2 << 20));
    const auto kept = FileAttribute::System | FileAttribute::ReadOnly;
    native::storeAttributeWord(existing, kept.bits());
    for (const auto& [target, attributes] :
         {std::pair{existing, native::asStored(kept)}, {folder / "new", native::asStored({})}}) {
        ASSERT_TRUE(run(from, target).ok());
        EXPECT_TRUE(isResult(target));
        EXPECT_EQ(*platform::readAttributes(target), attributes);
    }
}

// What another program wrote, before the job or while it ran, is never lost.
TEST_P(JobTest, ASourceChangedSinceItWasChosenIsLeftAsTheOtherProgramLeftIt) {
    const auto path = source("c.doc");
    const auto other = patternBytes(std::filesystem::file_size(path), 9);
    ASSERT_TRUE(start(path).ok());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    writeFile(path, other); // same size, new content and time
    EXPECT_EQ(finish(folder / "out").cause(), EngineError::SourceChanged);
    EXPECT_EQ(readFile(path), other);
#ifndef _WIN32 // Windows lets no other program write to a file a job holds
    const auto changed = source("d.doc");
    const auto during = patternBytes(std::filesystem::file_size(changed), 8);
    ASSERT_TRUE(start(changed).ok());
    bool changedYet = false;
    events.onProgress = [&](const ByteProgress& progress) {
        if (progress.percent() >= 50 && !std::exchange(changedYet, true))
            writeFile(changed, during);
    };
    EXPECT_EQ(finish(changed).cause(), EngineError::SourceChanged);
    EXPECT_EQ(readFile(changed), during);
#endif
    for (const auto& name : folder.names())
        EXPECT_FALSE(name.string().ends_with(".tmp")) << name;
}

TEST_P(JobTest, AStopMidwayOrNoTargetEndsTheJobSilentlyLeavingTheFile) {
    const auto path = source("big.bin", 8 << 20);
    const auto before = readFile(path);
    std::stop_source stop;
    events.onProgress = [&](const ByteProgress& progress) {
        if (progress.percent() >= 20)
            stop.request_stop();
    };
    ASSERT_TRUE(start(path).ok());
    JobStatus status = finish(path, stop.get_token());
    EXPECT_EQ(status.cause(), std::errc::operation_canceled);
    EXPECT_FALSE(status.notice());
    EXPECT_LT(events.reports.back().percent(), 50);
    EXPECT_EQ(events.log.text().find("写入失败"), std::string::npos);

    events.onProgress = {};
    ASSERT_TRUE(start(path).ok());
    status = finish({});
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.notice());
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(folder.names(), Names{"big.bin"});
}

// Rewriting one name would leave the old content under the others.
TEST_P(JobTest, AFileWithOtherNamesIsNotRewrittenInPlace) {
#ifdef _WIN32
    GTEST_SKIP() << "the tests make no hard links on Windows";
#endif
    const auto path = source("linked");
    const auto before = readFile(path);
    std::filesystem::create_hard_link(path, folder / "other-name");
    EXPECT_EQ(run(path, path).cause(), EngineError::HasOtherNames);
    EXPECT_EQ(readFile(path), before);
    ASSERT_TRUE(run(path, folder / "copy").ok());
    EXPECT_TRUE(isResult(folder / "copy"));
}

using EncryptJobTest = JobFixture;

TEST_F(EncryptJobTest, InPlaceLockLogsEveryStep) {
    const auto path = source("report.doc", 2048);
    ASSERT_TRUE(encrypt.load(path).ok());
    clock.set(test::localTime(2026, 12, 6, 9, 30, 15));
    ASSERT_TRUE(encrypt.encipherTo(path, u"pw").ok());
    EXPECT_EQ(events.log.text(),
              "******** Veskard v1.6 ********" + br + br + "开始时间：2026-12-06 09:30:10" + br +
                  "加密文件：" + path.string() + br + "文件大小：2,048 字节" + br +
                  "装入文件...   …… OK！" + br + "正在处理文件..." + br + "设置密码...   …… OK！" +
                  br + "得到文件的属性...  …… OK！" + br + "设置文件的属性...  …… OK！" + br +
                  "正执行加密算法...  …… 100% 完成" + br + "正在写入数据...    …… OK！" + br +
                  "保存文件信息..." + br + "加密成功！" + br + "结束时间：2026-12-06 09:30:15" +
                  br + "用时：5秒" + br);
    // The progress line is rewritten only as its percentage changes, up to 100.
    EXPECT_EQ(std::count_if(events.changes.begin(), events.changes.end(),
                            [](auto& c) { return c.kind == LogChange::Kind::RewriteLastLine; }),
              100);
}

TEST_F(EncryptJobTest, RefusalsAndFailuresEndTheLogAndLeaveTheFile) {
    EXPECT_FALSE(encrypt.load(source("empty.txt", 0)).ok());
    EXPECT_TRUE(events.log.text().ends_with("文件大小：0 字节" + br + "装入文件...   …… OK！"));
    const std::string before = events.log.text();
    const JobStatus missing = encrypt.load(folder / "missing.txt");
    EXPECT_FALSE(missing.ok() || missing.notice());
    EXPECT_EQ(events.log.text(), before);

    const auto path = source("keep.txt", 3000);
    ASSERT_TRUE(encrypt.load(path).ok());
    EXPECT_EQ(events.log.text().find("文件大小：0"), std::string::npos)
        << "each load starts afresh";
    EXPECT_EQ(encrypt.encipherTo(path, u"").cause(), EngineError::EmptyPassword);
    EXPECT_TRUE(events.log.text().ends_with(br + "设置密码...   …… OK！" + br + "写入失败。" + br));
    // A password the record would give back otherwise locks the file away for good.
    EXPECT_EQ(encrypt.encipherTo(path, u"aก").cause(), EngineError::UnstorablePassword);
    EXPECT_TRUE(encrypt.encipherTo(folder / "no-such-folder" / "out", u"pw").notice());
    EXPECT_TRUE(events.log.text().ends_with("正在写入数据...  " + br + "写入失败。" + br));
    EXPECT_EQ(readFile(path), patternBytes(3000));
    EXPECT_EQ(folder.names(), (Names{"empty.txt", "keep.txt"}));
}

// Locked twice, a file would come back from its first unlock still locked.
TEST_F(EncryptJobTest, AFileLockedAlreadyIsLockedAgainOnlyWhenAllowed) {
    const auto path = source("twice.doc", 3000);
    ASSERT_TRUE(run(path, path).ok());
    EXPECT_EQ(encrypt.load(path).cause(), EngineError::AlreadyEnciphered);
    EXPECT_TRUE(encrypt.load(path, Relock::Allow).ok());

    // A strong lock is a locked file too, even of a file too small for a
    // record; its header cut short is not.
    const auto small = source("small.doc", 10);
    ASSERT_TRUE(encrypt.load(small, Relock::Refuse, LockKind::Strong).ok());
    ASSERT_TRUE(encrypt.encipherTo(small, u"pw").ok());
    EXPECT_EQ(encrypt.load(small).cause(), EngineError::AlreadyEnciphered);
    std::vector<std::byte> cut = readFile(small);
    cut.resize(StrongHeaderSize - 1);
    writeFile(folder / "lookalike", cut);
    EXPECT_FALSE(isEnciphered(folder / "lookalike"));
}

// A POSIX name may hold line breaks: in the log they must not start lines of their own.
TEST_F(EncryptJobTest, ControlCharactersOfTheFileNameAreMaskedInTheLog) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names hold no control characters";
#endif
    ASSERT_TRUE(encrypt.load(source("nl\necho INJECTED\r\t\x1b\x7f文件.doc", 101)).ok());
    const std::string shown = (folder / "nl?echo INJECTED????文件.doc").string();
    EXPECT_NE(events.log.text().find(br + "加密文件：" + shown + br), std::string::npos);
}

class StrongJobTest : public JobFixture {
protected:
    StrongJobTest() { kind = LockKind::Strong; }
};

// The chunks' edges: nothing at all (one empty FINAL chunk), one byte, one
// full chunk, and one byte into the second; the classic size limits do not
// apply. A wrong password gives no key, so nothing is restored. Any text is a
// password: these characters are not GBK's.
TEST_F(StrongJobTest, LocksComeBackAtEveryChunkEdgeWithTheirPasswordOnly) {
    const std::u16string password = u"密码 😀🔑";
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{DefaultChunkSize},
                                   std::size_t{DefaultChunkSize} + 1}) {
        SCOPED_TRACE(size);
        const auto path = source("strong.bin", size);
        ASSERT_TRUE(start(path).ok());
        ASSERT_TRUE(encrypt.encipherTo(path, password).ok());
        const auto locked = readFile(path);
        EXPECT_NE(events.log.text().find(br + "正在处理文件..." + br +
                                         "设置密码(强加密)...   …… OK！" + br),
                  std::string::npos);

        ASSERT_TRUE(decrypt.openEnciphered(path).ok());
        EXPECT_EQ(decrypt.opened()->kind, LockKind::Strong);
        EXPECT_EQ(decrypt.opened()->plainSize, size);
        EXPECT_EQ(decrypt.checkPassword(u"密码 😀").value(), PasswordCheck::Wrong);
        EXPECT_EQ(decrypt.restoreTo(path).cause(), EngineError::NothingLoaded);
        EXPECT_EQ(readFile(path), locked);
        locking = false;
        ASSERT_TRUE(finish(path, {}, password).ok());
        locking = true;
        EXPECT_EQ(readFile(path), patternBytes(size));
        EXPECT_FALSE(decrypt.opened());
    }
}

// Damage of any kind, by chance or on purpose, is refused as damage and
// nothing is written. A header is found damaged when the file is opened, a
// chunk while it is decrypted.
TEST_F(StrongJobTest, ADamagedLockIsRefusedAndNothingIsWritten) {
    constexpr std::size_t Stride = DefaultChunkSize + ChunkOverhead;
    constexpr std::size_t Plain = 3 * DefaultChunkSize + 1000; // a last chunk of 1000 bytes
    const auto chunkAt = [](std::size_t index) { return StrongHeaderSize + index * Stride; };
    using Bytes = std::vector<std::byte>;
    const auto flip = [](std::size_t at) { return [at](Bytes& b) { b[at] ^= std::byte{0x20}; }; };
    const auto cutTo = [](std::size_t size) { return [size](Bytes& b) { b.resize(size); }; };
    struct Row {
        const char* what;
        std::function<void(Bytes&)> damage;
        bool foundWhenOpened;
        std::size_t plain = Plain;
    };
    const Row rows[] = {
        {"magic", flip(0), true},
        {"MAC", flip(70), true},
        {"checksum", flip(102), true},
        {"a middle chunk's tag", flip(chunkAt(2) - 1), false},
        {"the final chunk", flip(chunkAt(3) + 500), false},
        {"an empty file's only chunk", flip(chunkAt(0) + 3), false, 0},
        {"cut at a chunk's end", cutTo(chunkAt(3)), false},
        {"cut inside the last chunk", cutTo(chunkAt(3) + 500), false},
        {"cut inside a chunk's overhead", cutTo(chunkAt(3) + 10), true},
        {"bytes appended", [](Bytes& b) { b.insert(b.end(), 7, std::byte{0}); }, false},
        {"two chunks swapped",
         [&](Bytes& b) {
             std::swap_ranges(b.begin() + chunkAt(1), b.begin() + chunkAt(2),
                              b.begin() + chunkAt(2));
         },
         false},
    };
    const auto path = folder / "strong.locked";
    locking = false;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Bytes damaged = test::encipherStrong(patternBytes(row.plain), u"pw");
        row.damage(damaged);
        writeFile(path, damaged);
        JobStatus status = decrypt.openEnciphered(path);
        if (status.ok())
            status = finish(path);
        EXPECT_EQ(status.cause(), EngineError::DamagedRecord);
        EXPECT_EQ(status.notice(), Messages::damagedOrNotEnciphered());
        EXPECT_EQ(decrypt.opened().has_value(), !row.foundWhenOpened)
            << "a restore that failed keeps the file opened";
        EXPECT_EQ(readFile(path), damaged);
        EXPECT_EQ(folder.names(), Names{"strong.locked"});
    }
}

} // namespace
