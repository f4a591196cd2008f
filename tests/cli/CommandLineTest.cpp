#include "Cli.h"
#include "platform/FileAttributes.h"
#include "support/NativeAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <regex>

namespace veskard::test {
namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

using platform::FileAttribute;
using platform::FileAttributes;

// What `info` printed for one labelled line ("块数：1057" gives 1057), or -1.
long long infoValue(const std::string& text, const std::string& label) {
    const std::regex line(label + "：([0-9]+)");
    std::smatch match;
    return std::regex_search(text, match, line) ? std::stoll(match[1]) : -1;
}

// The attributes other programs on this system see.
FileAttributes attributesOf(const std::filesystem::path& file) {
    return FileAttributes::fromBits(native::attributeWord(file));
}

class CommandLineTest : public ::testing::Test {
protected:
    // Names in any script: Windows hands the arguments over in UTF-16, and
    // they must arrive whole, spaces included.
    std::filesystem::path makeFile(const std::u8string& name, std::size_t size, unsigned seed = 1) {
        const std::filesystem::path path = folder_.path() / name;
        writeFile(path, patternBytes(size, seed));
        return path;
    }

    TempFolder folder_;
};

TEST_F(CommandLineTest, LockThenUnlockInPlaceRestoresEveryByteAndInfoNeverShowsThePassword) {
    const std::size_t size = 3 * MiB + 17;
    const std::filesystem::path file = makeFile(u8"季度报告 2024.xls", size);
    // Nothing on a pipe but results: no progress bar, no chatter.
    ASSERT_TRUE(ended(lock(file, "Sesame-7"), 0, ""));
    const std::vector<std::byte> record = readFile(file);
    const ChildOutcome info = cli({"info", utf8(file)}, "Sesame-7\n");
    ASSERT_TRUE(ended(info, 0, ""));
    EXPECT_EQ(info.out.find("Sesame"), std::string::npos);
    EXPECT_NE(info.out.find("文件：" + utf8(file) + "\n"), std::string::npos) << info;
    EXPECT_NE(info.out.find("类型：经典记录\n"), std::string::npos) << info;
    EXPECT_EQ(infoValue(info.out, "原文件大小"), static_cast<long long>(size));
    EXPECT_EQ(infoValue(info.out, "记录大小"), static_cast<long long>(record.size()));
    EXPECT_EQ(infoValue(info.out, "密码长度"), 8);
    EXPECT_GE(infoValue(info.out, "块数"), 1) << info; // how many, the engine's split draws
    EXPECT_EQ(infoValue(info.out, "记录后的数据"), 0);

    ASSERT_TRUE(ended(unlock(file, "Sesame-7"), 0, ""));
    EXPECT_EQ(readFile(file), patternBytes(size));
}

// The strong kind is chosen when locking; info tells it and its costs, and
// unlock finds it without being told, a wrong password refused as ever.
TEST_F(CommandLineTest, StrongLockIsToldByInfoAndUnlockedLikeAnyOther) {
    const std::filesystem::path file = makeFile(u8"机密.pdf", 5000, 3);
    ASSERT_TRUE(ended(lock(file, "秘密 😀", {"--strong"}), 0, ""));
    const std::vector<std::byte> locked = readFile(file);
    const ChildOutcome info = cli({"info", utf8(file)});
    ASSERT_TRUE(ended(info, 0, ""));
    EXPECT_NE(info.out.find("类型：强加密"), std::string::npos) << info;
    EXPECT_EQ(infoValue(info.out, "原文件大小"), 5000);
    EXPECT_EQ(infoValue(info.out, "Argon2id 运算次数"), 3);
    EXPECT_EQ(infoValue(info.out, "Argon2id 内存"), 256 << 20);

    EXPECT_TRUE(ended(unlock(file, "秘密"), 1, "密码不正确！\n"));
    EXPECT_EQ(readFile(file), locked);
    ASSERT_TRUE(ended(unlock(file, "秘密 😀"), 0, ""));
    EXPECT_EQ(readFile(file), patternBytes(5000, 3));
}

// Whatever follows a record (appended later, or two files joined) is not
// part of it: unlocking leaves it out, but says so, and info shows it.
TEST_F(CommandLineTest, BytesAfterTheRecordAreShownAndTheirLossIsTold) {
    const std::filesystem::path file = makeFile(u8"data.bin", 4000);
    ASSERT_EQ(lock(file, "pw").exitCode, 0);
    std::ofstream(file, std::ios::app | std::ios::binary) << "7 bytes";

    const ChildOutcome info = cli({"info", utf8(file)});
    EXPECT_TRUE(ended(info, 0));
    EXPECT_NE(info.out.find("记录后的数据：7 字节\n"), std::string::npos) << info;
    EXPECT_TRUE(ended(unlock(file, "pw"), 0,
                      "veskard-cli: 警告：" + printed(engine::Messages::bytesNotRestored(7))));
    EXPECT_EQ(readFile(file), patternBytes(4000));
}

// OUT is written without touching FILE; an existing OUT is replaced only
// when forced, by exactly the new content, keeping its own attributes.
TEST_F(CommandLineTest, OutputFileLeavesTheSourceAndIsReplacedOnlyWhenForced) {
    const std::filesystem::path source = makeFile(u8"source.txt", 5000, 2);
    const std::filesystem::path out = folder_.path() / u8"副本.vsk";
    ASSERT_TRUE(ended(lock(source, "pw", {"-o", utf8(out)}), 0));
    EXPECT_EQ(readFile(source), patternBytes(5000, 2));
    EXPECT_EQ(attributesOf(out), native::asStored({}));

    const std::vector<std::byte> firstRecord = readFile(out);
    EXPECT_TRUE(ended(lock(source, "other", {"-o", utf8(out)}), 1,
                      "veskard-cli: '" + utf8(out) + "'已存在！要替换它，请加上 --force。\n"));
    EXPECT_EQ(readFile(out), firstRecord);

    const std::filesystem::path longer = makeFile(u8"longer.bin", 2 * MiB, 4);
    const FileAttributes kept = FileAttribute::System | FileAttribute::ReadOnly;
    native::storeAttributeWord(longer, kept.bits());
    ASSERT_TRUE(ended(lock(source, "pw", {"-o", utf8(longer), "--force"}), 0));
    EXPECT_EQ(attributesOf(longer), native::asStored(kept));
    EXPECT_EQ(infoValue(cli({"info", utf8(longer)}).out, "记录大小"),
              static_cast<long long>(std::filesystem::file_size(longer)));

    const std::filesystem::path restored = makeFile(u8"还原 1.txt", MiB, 5);
    ASSERT_TRUE(ended(unlock(longer, "pw", {"--force", "-o", utf8(restored)}), 0));
    EXPECT_EQ(readFile(restored), patternBytes(5000, 2));
    EXPECT_EQ(cli({"info", utf8(longer)}).exitCode, 0) << "unlocking to OUT keeps FILE";
}

// Locked twice, a file would come back from its first unlock still locked.
TEST_F(CommandLineTest, ALockedFileIsLockedAgainOnlyWhenForced) {
    const std::filesystem::path file = makeFile(u8"两次.doc", 3000, 7);
    ASSERT_TRUE(ended(lock(file, "pw"), 0));
    const std::vector<std::byte> once = readFile(file);
    EXPECT_TRUE(ended(lock(file, "pw"), 1, printed(engine::Messages::alreadyEnciphered())));
    EXPECT_EQ(readFile(file), once);
    ASSERT_TRUE(ended(lock(file, "pw", {"--force"}), 0));
    ASSERT_TRUE(ended(unlock(file, "pw"), 0));
    EXPECT_EQ(readFile(file), once);
}

TEST_F(CommandLineTest, AWrongPasswordOrNoOneToAskLeavesTheFileLocked) {
    const std::filesystem::path file = makeFile(u8"secret.doc", 4000);
    ASSERT_EQ(lock(file, "correct horse").exitCode, 0);
    const std::vector<std::byte> record = readFile(file);

    for (const std::string attempt : {"correct hors", "correct horse ", "Correct horse", ""}) {
        SCOPED_TRACE("typed '" + attempt + "'");
        EXPECT_TRUE(ended(unlock(file, attempt), 1, "密码不正确！\n"));
        EXPECT_EQ(readFile(file), record);
    }
    // With -o too, nothing is written.
    EXPECT_EQ(unlock(file, "nope", {"-o", utf8(folder_ / "out")}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "out"));
    // Without a terminal and without --password-stdin there is no one to ask
    // (--force: the file is locked already).
    for (const char* command : {"unlock", "lock"}) {
        const ChildOutcome outcome = cli({command, utf8(file), "--force"});
        EXPECT_TRUE(ended(outcome, 1)) << command;
        EXPECT_NE(outcome.err.find("--password-stdin"), std::string::npos) << outcome;
        EXPECT_EQ(readFile(file), record);
    }
}

// Each refusal is the engine's notice, the file's name shown whole in any
// script; nothing is touched, and no name makes the program abort.
TEST_F(CommandLineTest, RefusalsPrintTheEngineNoticeAndTouchNothing) {
    const std::filesystem::path empty = folder_.path() / u8"空文件.txt";
    writeFile(empty, {});
    EXPECT_TRUE(ended(lock(empty, "pw"), 1, printed(engine::Messages::zeroSizeFile(empty))));
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);

    const std::filesystem::path small = makeFile(u8"small", 100);
    EXPECT_EQ(lock(small, "pw").err, printed(engine::Messages::fileTooSmall()));
    EXPECT_EQ(readFile(small), patternBytes(100));

    const std::filesystem::path text = folder_ / "notes.txt";
    std::ofstream(text) << std::string(2000, 'x');
    for (const ChildOutcome& outcome : {unlock(text, "pw"), cli({"info", utf8(text)})})
        EXPECT_TRUE(ended(outcome, 1, printed(engine::Messages::damagedOrNotEnciphered())));
    EXPECT_EQ(std::filesystem::file_size(text), 2000u);

    const std::filesystem::path file = makeFile(u8"data", 2000);
    EXPECT_TRUE(ended(lock(file, ""), 1, printed(engine::Messages::emptyPassword())));
    // The record holds at most 65535 character codes.
    const ChildOutcome tooLong = lock(file, std::string(65536, 'a'));
    EXPECT_TRUE(ended(tooLong, 1));
    EXPECT_NE(tooLong.err, printed(engine::Messages::encryptHeld()));
    EXPECT_EQ(readFile(file), patternBytes(2000));

    const std::filesystem::path tooLongName = folder_ / std::string(300, 'n');
    for (const ChildOutcome& outcome : {lock(folder_ / "missing", "pw"), lock(tooLongName, "pw"),
                                        lock(file, "pw", {"-o", utf8(tooLongName)})}) {
        EXPECT_TRUE(ended(outcome, 1));
        EXPECT_NE(outcome.err, "") << "a silent engine failure still says why";
    }
    EXPECT_EQ(folder_.names().size(), 4u);
}

TEST_F(CommandLineTest, PasswordsAreUtf8AndStoredOnlyWhenTheyComeBack) {
    const std::filesystem::path file = makeFile(u8"data", 3000);
    // The line end of a Windows-written password file is not part of the password.
    ASSERT_TRUE(ended(cli({"lock", utf8(file), "--password-stdin"}, "中文\r\n"), 0));
    EXPECT_EQ(infoValue(cli({"info", utf8(file)}).out, "密码长度"), 2);
    EXPECT_EQ(unlock(file, "中").exitCode, 1);
    EXPECT_EQ(unlock(file, "中文").exitCode, 0);
    EXPECT_EQ(readFile(file), patternBytes(3000));

    // Broken UTF-8 and characters the record cannot hold are refused before writing.
    for (const std::string& password :
         {std::string("\xE4\xB8"), std::string("caf\xE9"), std::string("\xF0\x9F\x98\x80")}) {
        const ChildOutcome refused = lock(file, password);
        EXPECT_TRUE(ended(refused, 1));
        EXPECT_NE(refused.err, "");
        EXPECT_EQ(readFile(file), patternBytes(3000));
    }
    EXPECT_EQ(lock(file, "\xFF").err, "密码不是有效的 UTF-8 文字！\n");
}

// Hidden and read-only are the user's and stay when the content is replaced
// in place, both ways.
TEST_F(CommandLineTest, InPlaceLockAndUnlockKeepHiddenAndReadOnly) {
    const std::filesystem::path file = makeFile(u8"hidden.doc", 5000, 6);
    const FileAttributes chosen = FileAttribute::Hidden | FileAttribute::ReadOnly;
    native::storeAttributeWord(file, chosen.bits());
    // Locked: the unlock below finds a record.
    EXPECT_TRUE(ended(lock(file, "pw"), 0));
    EXPECT_EQ(attributesOf(file), native::asStored(chosen));
    EXPECT_TRUE(ended(unlock(file, "pw"), 0));
    EXPECT_EQ(readFile(file), patternBytes(5000, 6));
    EXPECT_EQ(attributesOf(file), native::asStored(chosen));
}

TEST_F(CommandLineTest, HelpVersionAndUsageErrors) {
    EXPECT_EQ(cli({"--version"}).out, "1.6\n");
    const ChildOutcome help = cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"lock", "unlock", "info", "--force", "--password-stdin"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    EXPECT_EQ(cli({"lock", "--help"}).out, help.out);

    const std::filesystem::path file = makeFile(u8"data", 2000);
    const std::filesystem::path out = folder_ / "out";
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"encrypt", utf8(file)},
        {"lock"},
        {"unlock", "--password-stdin"},
        {"lock", utf8(file), "--bogus"},
        {"lock", utf8(file), "-o"},
        {"lock", utf8(file), utf8(file)},
        {"info", utf8(file), "--force"},
        {"info", utf8(file), "-o", utf8(out)},
        {"--version", "lock"},
        {"lock", "", "--password-stdin"},
    };
    for (const std::vector<std::string>& mistake : mistakes) {
        SCOPED_TRACE(::testing::PrintToString(mistake));
        const ChildOutcome outcome = cli(mistake, "pw\n");
        EXPECT_TRUE(ended(outcome, 2));
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("用法"), std::string::npos) << outcome;
    }
    EXPECT_EQ(readFile(file), patternBytes(2000));
    EXPECT_FALSE(std::filesystem::exists(out));

    // "--" lets a file be named like an option.
    const std::filesystem::path dashed = makeFile(u8"-o", 2000);
    EXPECT_TRUE(ended(runChild({CliProgram, "lock", "--password-stdin", "--", "-o"},
                               {.input = "pw\n", .workingDirectory = utf8(folder_.path())}),
                      0));
    EXPECT_NE(readFile(dashed), patternBytes(2000));
}

} // namespace
} // namespace veskard::test
