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

class CommandLineTest : public ::testing::Test {
protected:
    std::filesystem::path makeFile(const std::string& name, std::size_t size, unsigned seed = 1) {
        const std::filesystem::path path = folder_ / name;
        writeFile(path, patternBytes(size, seed));
        return path;
    }

    TempFolder folder_;
};

TEST_F(CommandLineTest, LockThenUnlockInPlaceRestoresEveryByte) {
    const std::size_t size = 3 * MiB + 17;
    const std::filesystem::path file = makeFile("data.bin", size);
    const std::vector<std::byte> original = readFile(file);

    const ChildOutcome locked = lock(file, "Sesame-7");
    ASSERT_EQ(locked.exitCode, 0) << locked;
    // Nothing on a pipe but results: no progress bar, no chatter.
    EXPECT_EQ(locked.err, "");
    const std::vector<std::byte> record = readFile(file);
    EXPECT_NE(record, original);

    const ChildOutcome info = cli({"info", utf8(file)});
    ASSERT_EQ(info.exitCode, 0) << info;
    EXPECT_EQ(infoValue(info.out, "原文件大小"), static_cast<long long>(size));
    EXPECT_EQ(infoValue(info.out, "记录大小"), static_cast<long long>(record.size()));
    EXPECT_EQ(infoValue(info.out, "密码长度"), 8);
    const long long pieces = infoValue(info.out, "块数");
    EXPECT_TRUE(pieces >= 1024 && pieces <= 1100) << info;

    const ChildOutcome unlocked = unlock(file, "Sesame-7");
    ASSERT_EQ(unlocked.exitCode, 0) << unlocked;
    EXPECT_EQ(unlocked.err, "");
    EXPECT_EQ(readFile(file), original);
}

// Whatever follows a record (appended later, or two files joined) is not
// part of it: unlocking leaves it out, but says so, and info shows it.
TEST_F(CommandLineTest, BytesAfterTheRecordAreShownAndTheirLossIsTold) {
    const std::filesystem::path file = makeFile("data.bin", 4000);
    ASSERT_EQ(lock(file, "pw").exitCode, 0);
    EXPECT_EQ(infoValue(cli({"info", utf8(file)}).out, "记录后的数据"), 0);
    std::ofstream(file, std::ios::app | std::ios::binary) << "7 bytes";

    const ChildOutcome info = cli({"info", utf8(file)});
    EXPECT_EQ(info.exitCode, 0) << info;
    EXPECT_NE(info.out.find("记录后的数据：7 字节\n"), std::string::npos) << info;
    const ChildOutcome unlocked = unlock(file, "pw");
    EXPECT_EQ(unlocked.exitCode, 0) << unlocked;
    EXPECT_EQ(unlocked.err, "veskard-cli: 警告：加密记录后面的 7 字节数据没有还原。\n");
    EXPECT_EQ(readFile(file), patternBytes(4000));
}

TEST_F(CommandLineTest, OutputFileLeavesTheSourceAndIsReplacedOnlyWhenForced) {
    const std::filesystem::path source = makeFile("source.txt", 5000, 2);
    const std::vector<std::byte> plain = readFile(source);
    const std::filesystem::path out = folder_ / "out.vsk";

    const ChildOutcome locked = lock(source, "pw", {"-o", utf8(out)});
    ASSERT_EQ(locked.exitCode, 0) << locked;
    EXPECT_EQ(readFile(source), plain);
    ASSERT_EQ(cli({"info", utf8(out)}).exitCode, 0);

    // A second lock to the same OUT is refused; OUT keeps the first record.
    const std::vector<std::byte> firstRecord = readFile(out);
    const ChildOutcome refused = lock(source, "other", {"-o", utf8(out)});
    EXPECT_EQ(refused.exitCode, 1) << refused;
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused;
    EXPECT_EQ(readFile(out), firstRecord);
    EXPECT_EQ(readFile(source), plain);

    // Unlocking onto an existing file is refused the same way.
    const std::filesystem::path restored = makeFile("restored.txt", 300, 3);
    const std::vector<std::byte> bystander = readFile(restored);
    const ChildOutcome unlockRefused = unlock(out, "pw", {"-o", utf8(restored)});
    EXPECT_EQ(unlockRefused.exitCode, 1) << unlockRefused;
    EXPECT_EQ(readFile(restored), bystander);
    EXPECT_EQ(readFile(out), firstRecord);

    // Forced over a longer file: exactly the new content, no tail of the old one.
    const std::filesystem::path longer = makeFile("longer.bin", 2 * MiB, 4);
    const ChildOutcome forcedLock = lock(source, "pw", {"-o", utf8(longer), "--force"});
    ASSERT_EQ(forcedLock.exitCode, 0) << forcedLock;
    const ChildOutcome info = cli({"info", utf8(longer)});
    EXPECT_EQ(infoValue(info.out, "记录大小"),
              static_cast<long long>(std::filesystem::file_size(longer)))
        << info;

    writeFile(restored, patternBytes(MiB, 5));
    const ChildOutcome forcedUnlock = unlock(longer, "pw", {"--force", "-o", utf8(restored)});
    ASSERT_EQ(forcedUnlock.exitCode, 0) << forcedUnlock;
    EXPECT_EQ(readFile(restored), plain);
    EXPECT_EQ(cli({"info", utf8(longer)}).exitCode, 0) << "unlocking to OUT keeps FILE";
}

TEST_F(CommandLineTest, WrongPasswordLeavesTheFileLocked) {
    const std::filesystem::path file = makeFile("secret.doc", 4000);
    ASSERT_EQ(lock(file, "correct horse").exitCode, 0);
    const std::vector<std::byte> record = readFile(file);

    for (const std::string attempt : {"correct hors", "correct horse ", "Correct horse", ""}) {
        SCOPED_TRACE("typed '" + attempt + "'");
        const ChildOutcome refused = unlock(file, attempt);
        EXPECT_EQ(refused.exitCode, 1) << refused;
        EXPECT_EQ(refused.err, "密码不正确！\n");
        EXPECT_EQ(readFile(file), record);
    }
    // With -o too, nothing is written.
    const ChildOutcome refused = unlock(file, "nope", {"-o", utf8(folder_ / "out")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "out"));
}

TEST_F(CommandLineTest, RefusalsPrintTheEngineNoticeAndTouchNothing) {
    const std::filesystem::path empty = makeFile("empty", 0);
    const ChildOutcome zero = lock(empty, "pw");
    EXPECT_EQ(zero.exitCode, 1);
    EXPECT_EQ(zero.err, "'" + utf8(empty) + "'为 0 字节！不能对其加密。\n");
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);

    const std::filesystem::path small = makeFile("small", 100);
    const ChildOutcome tooSmall = lock(small, "pw");
    EXPECT_EQ(tooSmall.exitCode, 1);
    EXPECT_EQ(tooSmall.err, "待加密的文件必须大于 100 字节！\n");
    EXPECT_EQ(readFile(small), patternBytes(100));

    const std::string damaged = "很抱歉！你所选择的文件可能已破坏     \n或并沒有经过本程序加密。\n";
    const std::filesystem::path text = folder_ / "notes.txt";
    {
        std::ofstream out(text);
        for (int i = 0; i < 50; ++i)
            out << "line " << i << " of a plain text file\n";
    }
    const std::vector<std::byte> plain = readFile(text);
    const ChildOutcome unlocked = unlock(text, "pw");
    const ChildOutcome info = cli({"info", utf8(text)});
    for (const ChildOutcome* outcome : {&unlocked, &info}) {
        EXPECT_EQ(outcome->exitCode, 1) << *outcome;
        EXPECT_EQ(outcome->err, damaged);
    }
    EXPECT_EQ(readFile(text), plain);

    const std::filesystem::path file = makeFile("data", 2000);
    const ChildOutcome noPassword = lock(file, "");
    EXPECT_EQ(noPassword.exitCode, 1) << noPassword;
    EXPECT_EQ(noPassword.err, "密码不能为空！      \n");
    EXPECT_EQ(readFile(file), patternBytes(2000));

    // The record holds at most 65535 character codes.
    const ChildOutcome tooLong = lock(file, std::string(65536, 'a'));
    EXPECT_EQ(tooLong.exitCode, 1) << tooLong;
    EXPECT_NE(tooLong.err, printed(engine::Messages::encryptHeld()));
    EXPECT_EQ(readFile(file), patternBytes(2000));

    const ChildOutcome missing = lock(folder_ / "missing", "pw");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err, "") << "a silent engine failure still says why";
    EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

TEST_F(CommandLineTest, PasswordsAreUtf8AndStoredOnlyWhenTheyComeBack) {
    const std::filesystem::path file = makeFile("data", 3000);
    const std::vector<std::byte> plain = readFile(file);

    // The line end of a Windows-written password file is not part of the password.
    ASSERT_EQ(cli({"lock", utf8(file), "--password-stdin"}, "中文\r\n").exitCode, 0);
    const ChildOutcome info = cli({"info", utf8(file)});
    EXPECT_EQ(infoValue(info.out, "密码长度"), 2) << info;
    EXPECT_EQ(unlock(file, "中").exitCode, 1);
    EXPECT_EQ(unlock(file, "中文").exitCode, 0);
    EXPECT_EQ(readFile(file), plain);

    // Broken UTF-8 and characters the record cannot hold are refused before writing.
    for (const std::string& password :
         {std::string("\xE4\xB8"), std::string("caf\xE9"), std::string("\xF0\x9F\x98\x80")}) {
        const ChildOutcome refused = lock(file, password);
        EXPECT_EQ(refused.exitCode, 1) << refused;
        EXPECT_NE(refused.err, "");
        EXPECT_EQ(readFile(file), plain);
    }
    EXPECT_EQ(lock(file, "\xFF").err, "密码不是有效的 UTF-8 文字！\n");
}

// Windows hands the arguments over in UTF-16: names in any script arrive
// whole, spaces included, and come back the same in what the program prints.
TEST_F(CommandLineTest, ChineseFileNamesAreFoundAndShown) {
    const std::filesystem::path file = folder_.path() / u8"季度报告 2024.xls";
    const std::filesystem::path copy = folder_.path() / u8"副本.xls";
    writeFile(file, patternBytes(6000, 8));

    const ChildOutcome locked = lock(file, "pw");
    ASSERT_EQ(locked.exitCode, 0) << locked;
    const ChildOutcome info = cli({"info", utf8(file)});
    ASSERT_EQ(info.exitCode, 0) << info;
    EXPECT_NE(info.out.find("文件：" + utf8(file) + "\n"), std::string::npos) << info;

    const ChildOutcome unlocked = unlock(file, "pw", {"-o", utf8(copy)});
    ASSERT_EQ(unlocked.exitCode, 0) << unlocked;
    EXPECT_EQ(readFile(copy), patternBytes(6000, 8));

    const ChildOutcome refused = unlock(file, "pw", {"-o", utf8(copy)});
    EXPECT_EQ(refused.exitCode, 1) << refused;
    EXPECT_EQ(refused.err, "veskard-cli: '" + utf8(copy) + "'已存在！要替换它，请加上 --force。\n");

    const std::filesystem::path empty = folder_.path() / u8"空文件.txt";
    writeFile(empty, {});
    EXPECT_EQ(lock(empty, "pw").err, "'" + utf8(empty) + "'为 0 字节！不能对其加密。\n");
}

// Hidden and read-only are the user's and stay when the content is replaced
// in place, both ways.
TEST_F(CommandLineTest, InPlaceLockAndUnlockKeepHiddenAndReadOnly) {
    const std::filesystem::path file = makeFile("hidden.doc", 5000, 6);
    const FileAttributes chosen = FileAttribute::Hidden | FileAttribute::ReadOnly;
    native::storeAttributeWord(file, chosen.bits());
    const FileAttributes expected = native::asStored(chosen);
    const auto attributes = [&file] {
        return FileAttributes::fromBits(native::attributeWord(file));
    };
    ASSERT_EQ(attributes(), expected);

    const ChildOutcome locked = lock(file, "pw");
    ASSERT_EQ(locked.exitCode, 0) << locked;
    EXPECT_NE(readFile(file), patternBytes(5000, 6));
    EXPECT_EQ(attributes(), expected);

    const ChildOutcome unlocked = unlock(file, "pw");
    ASSERT_EQ(unlocked.exitCode, 0) << unlocked;
    EXPECT_EQ(readFile(file), patternBytes(5000, 6));
    EXPECT_EQ(attributes(), expected);
}

// Without a terminal and without --password-stdin there is no one to ask.
TEST_F(CommandLineTest, NoTerminalIsRefusedWithAHint) {
    const std::filesystem::path file = makeFile("data", 2000);
    ASSERT_EQ(lock(file, "pw").exitCode, 0);
    const std::vector<std::byte> record = readFile(file);
    for (const char* command : {"unlock", "lock"}) {
        SCOPED_TRACE(command);
        const ChildOutcome outcome = cli({command, utf8(file)});
        EXPECT_EQ(outcome.exitCode, 1) << outcome;
        EXPECT_NE(outcome.err.find("--password-stdin"), std::string::npos) << outcome;
        EXPECT_EQ(readFile(file), record);
    }
}

TEST_F(CommandLineTest, InfoNeverShowsThePassword) {
    const std::string password = "Quartz-Zebra-9182";
    const std::filesystem::path file = makeFile("data", 1500);
    ASSERT_EQ(lock(file, password).exitCode, 0);

    const ChildOutcome info = cli({"info", utf8(file)}, password + "\n");
    ASSERT_EQ(info.exitCode, 0) << info;
    EXPECT_EQ(info.out.find(password), std::string::npos);
    EXPECT_EQ(info.out.find("Quartz"), std::string::npos);
    EXPECT_EQ(infoValue(info.out, "密码长度"), static_cast<long long>(password.size()));
    EXPECT_EQ(info.err, "");
}

TEST_F(CommandLineTest, HelpAndVersion) {
    const ChildOutcome version = cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "1.6\n");

    const ChildOutcome help = cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"lock", "unlock", "info", "--force", "--password-stdin"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    EXPECT_EQ(cli({"lock", "--help"}).out, help.out);
}

TEST_F(CommandLineTest, UsageErrorsExitWithTwoAndTouchNothing) {
    const std::filesystem::path file = makeFile("data", 2000);
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
        std::string shown;
        for (const std::string& word : mistake)
            shown += " '" + word + "'";
        SCOPED_TRACE("arguments:" + shown);
        const ChildOutcome outcome = cli(mistake, "pw\n");
        EXPECT_EQ(outcome.exitCode, 2) << outcome;
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("用法"), std::string::npos) << outcome;
    }
    EXPECT_EQ(readFile(file), patternBytes(2000));
    EXPECT_FALSE(std::filesystem::exists(out));

    // "--" lets a file be named like an option.
    const std::filesystem::path dashed = makeFile("-o", 2000);
    const ChildOutcome locked =
        runChild({CliProgram, "lock", "--password-stdin", "--", "-o"},
                 ChildOptions{.input = "pw\n", .workingDirectory = utf8(folder_.path())});
    EXPECT_EQ(locked.exitCode, 0) << locked;
    EXPECT_NE(readFile(dashed), patternBytes(2000));
}

} // namespace
} // namespace veskard::test
