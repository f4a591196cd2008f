#include "Cli.h"
#include "cli/Arguments.h"
#include "cli/Utf8.h"
#include "engine/PasswordGenerator.h"
#include "support/FileHold.h"

#include <fstream>
#include <regex>

// The command line as a front end, on both systems: one round trip, and what
// only it shows (exit statuses, its own messages, standard input). What the
// jobs write and keep, the engine's tests check.
namespace veskard::test {
namespace {

// What `info` printed for one labelled line ("块数：1057" gives 1057), or -1.
long long infoValue(const std::string& text, const std::string& label) {
    std::smatch match;
    return std::regex_search(text, match, std::regex(label + "：([0-9]+)")) ? std::stoll(match[1])
                                                                            : -1;
}

class CommandLineTest : public ::testing::Test {
protected:
    // Names in any script and with spaces: Windows hands them over in UTF-16.
    std::filesystem::path makeFile(const std::u8string& name, std::size_t size = 3000) {
        writeFile(folder_.path() / name, patternBytes(size));
        return folder_.path() / name;
    }
    TempFolder folder_;
};

// Nothing on a pipe but results; bytes after the record are shown and their loss told.
TEST_F(CommandLineTest, LockInfoAndUnlockRoundTrip) {
    const std::size_t size = (3 << 20) + 17;
    const std::filesystem::path file = makeFile(u8"季度报告 2024.xls", size);
    ASSERT_TRUE(ended(run("lock", file, "Sesame-7"), 0, ""));
    const auto recordSize = static_cast<long long>(std::filesystem::file_size(file));
    std::ofstream(file, std::ios::app | std::ios::binary) << "7 bytes";
    const ChildOutcome info = cli({"info", utf8(file)});
    ASSERT_TRUE(ended(info, 0, ""));
    EXPECT_NE(info.out.find("文件：" + utf8(file) + "\n"), std::string::npos) << info;
    EXPECT_NE(info.out.find("类型：经典记录\n"), std::string::npos) << info;
    EXPECT_EQ(infoValue(info.out, "原文件大小"), static_cast<long long>(size));
    EXPECT_EQ(infoValue(info.out, "记录大小"), recordSize);
    EXPECT_EQ(infoValue(info.out, "密码长度"), 8);
    EXPECT_GE(infoValue(info.out, "块数"), 1024);
    EXPECT_EQ(infoValue(info.out, "记录后的数据"), 7);
    EXPECT_TRUE(ended(run("unlock", file, "Sesame-7"), 0,
                      "veskard-cli: 警告：" + printed(engine::Messages::bytesNotRestored(7))));
    EXPECT_EQ(readFile(file), patternBytes(size));
}

// The strong kind is chosen when locking; info tells it and its costs, and
// unlock finds it without being told.
TEST_F(CommandLineTest, StrongLockIsToldByInfoAndUnlockedLikeAnyOther) {
    const std::filesystem::path file = makeFile(u8"机密.pdf", 5000);
    ASSERT_TRUE(ended(run("lock", file, "秘密 😀", {"--strong"}), 0, ""));
    const ChildOutcome info = cli({"info", utf8(file)});
    ASSERT_TRUE(ended(info, 0, ""));
    EXPECT_NE(info.out.find("类型：强加密"), std::string::npos) << info;
    EXPECT_EQ(infoValue(info.out, "原文件大小"), 5000);
    EXPECT_EQ(infoValue(info.out, "Argon2id 运算次数"), 3);
    EXPECT_EQ(infoValue(info.out, "Argon2id 内存"), 256 << 20);
    ASSERT_TRUE(ended(run("unlock", file, "秘密 😀"), 0, ""));
    EXPECT_EQ(readFile(file), patternBytes(5000));
}

// An existing OUT, and a file locked already, are written over only when forced.
TEST_F(CommandLineTest, OutputAndRelockingOnlyWhenForced) {
    const std::filesystem::path source = makeFile(u8"source.txt");
    const std::filesystem::path out = folder_.path() / u8"副本.vsk";
    ASSERT_TRUE(ended(run("lock", source, "pw", {"-o", utf8(out)}), 0));
    EXPECT_EQ(readFile(source), patternBytes(3000));
    const std::vector<std::byte> record = readFile(out);
    EXPECT_TRUE(ended(run("lock", source, "other", {"-o", utf8(out)}), 1,
                      "veskard-cli: '" + utf8(out) + "'已存在！要替换它，请加上 --force。\n"));
    EXPECT_TRUE(ended(run("lock", out, "pw"), 1, printed(engine::Messages::alreadyEnciphered())));
    EXPECT_EQ(readFile(out), record);
    ASSERT_TRUE(ended(run("unlock", out, "pw", {"--force", "-o", utf8(source)}), 0));
    EXPECT_EQ(readFile(out), record) << "unlocking to OUT keeps FILE";
    ASSERT_TRUE(ended(run("lock", out, "pw", {"--force"}), 0));
    ASSERT_TRUE(ended(run("unlock", out, "pw"), 0));
    EXPECT_EQ(readFile(out), record);
}

// The line end of a Windows-written password file is not part of the
// password, a blank is. Without a terminal and without --password-stdin there
// is no one to ask. Refusals are told and exit 1, a silent engine failure too.
TEST_F(CommandLineTest, PasswordsAndRefusalsLeaveTheFileAsItWas) {
    const std::filesystem::path file = makeFile(u8"secret.doc");
    ASSERT_TRUE(ended(cli({"lock", utf8(file), "--password-stdin"}, "中文\r\n"), 0));
    const std::vector<std::byte> record = readFile(file);
    const std::string noOne = "--password-stdin";
    for (const auto& [outcome, err] : std::vector<std::pair<ChildOutcome, std::string>>{
             {run("unlock", file, "中文 "), "密码不正确！\n"},
             {run("unlock", file, "nope", {"-o", utf8(folder_ / "out")}), "密码不正确！\n"},
             {cli({"unlock", utf8(file), "--force"}), noOne},
             {run("lock", folder_ / "missing", "pw"), ""},
             {run("lock", makeFile(u8"plain"), "\xE4\xB8"), "密码不是有效的 UTF-8 文字！\n"},
             {run("unlock", folder_ / "plain", "pw"),
              printed(engine::Messages::damagedOrNotEnciphered())},
             {cli({"info", utf8(folder_ / "plain")}),
              printed(engine::Messages::damagedOrNotEnciphered())}}) {
        EXPECT_TRUE(ended(outcome, 1));
        EXPECT_NE(outcome.err.find(err), std::string::npos) << outcome;
        EXPECT_NE(outcome.err, "");
    }
    EXPECT_EQ(readFile(file), record);
    EXPECT_EQ(readFile(folder_ / "plain"), patternBytes(3000));
    EXPECT_EQ(folder_.names().size(), 2u);
    ASSERT_TRUE(ended(run("unlock", file, "中文"), 0));
}

// A usage error exits 2 with a reminder of the usage; which lines are one,
// the parser tells. "--" lets a file be named like an option.
TEST_F(CommandLineTest, HelpVersionAndUsageErrors) {
    EXPECT_EQ(cli({"--version"}).out, "1.6\n");
    const ChildOutcome help = cli({"--help"});
    EXPECT_TRUE(ended(help, 0));
    for (const char* word : {"lock", "unlock", "info", "--force", "--password-stdin"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    const std::string file = utf8(makeFile(u8"data"));
    const ChildOutcome usage = cli({"lock", file, "--bogus"}, "pw\n");
    EXPECT_TRUE(ended(usage, 2));
    EXPECT_EQ(usage.out, "");
    EXPECT_NE(usage.err.find("用法"), std::string::npos) << usage;
    EXPECT_EQ(readFile(file), patternBytes(3000));
    // clang-format off
    for (const std::vector<std::string>& mistake : std::vector<std::vector<std::string>>{
             {}, {"encrypt", file}, {"lock"}, {"lock", file, "-o"}, {"lock", file, file},
             {"info", file, "--force"}, {"--version", "lock"}, {"lock", "", "--password-stdin"},
             {"generate", "-l", "8", "extra"}})
        // clang-format on
        EXPECT_TRUE(std::holds_alternative<cli::UsageError>(cli::parseArguments(mistake)))
            << ::testing::PrintToString(mistake);
    const auto named = cli::parseArguments(std::vector<std::string>{"lock", "--", "-o"});
    EXPECT_EQ(std::get<cli::Arguments>(named).file, "-o");
}

// How the numbers read, the engine's tests check; here, that the switches reach it.
TEST(GenerateCommand, PrintsFreshPasswordsOneALineOfTheClassesAskedFor) {
    const ChildOutcome digits = cli({"generate", "-l", " 1 2abc", "-n", "&H3", "--digits"});
    EXPECT_TRUE(ended(digits, 0, ""));
    EXPECT_TRUE(std::regex_match(digits.out, std::regex("([0-9]{12}\n){3}"))) << digits.out;
    const ChildOutcome mixed = cli({"generate", "--symbols", "-l", "200", "--upper"});
    EXPECT_EQ(mixed.out.size(), 201u);
    EXPECT_EQ(mixed.out.find_first_not_of(std::string(engine::UpperCasePool) +
                                          std::string(engine::SymbolPool) + "\n"),
              std::string::npos)
        << mixed.out;
    EXPECT_NE(cli({"generate", "-l", "24"}).out, cli({"generate", "-l", "24"}).out);
    for (const std::vector<std::string>& refused :
         {std::vector<std::string>{"generate"}, {"generate", "-l", "x"}})
        EXPECT_TRUE(
            ended(cli(refused), 1, printed(engine::refusalNotice(engine::Refusal::NoLength))));
}

// Locking and unlocking open the file the same way: the lock stands for both.
TEST(LockedFileTest, AFileAnotherProgramHoldsIsRefusedUntilItLetsGo) {
    for (const std::string& way : FileHold::ways()) {
        SCOPED_TRACE(way);
        TempFolder folder;
        const std::filesystem::path plain = folder / "plain.bin";
        writeFile(plain, patternBytes(64 * 1024, 1));
        {
            const FileHold held(plain, way);
            EXPECT_TRUE(
                ended(run("lock", plain, "pw"), 1, printed(engine::Messages::encryptHeld())));
            EXPECT_EQ(folder.names().size(), 1u) << "no temporary file left behind";
        }
        // Compared once the hold is let go: on Windows it may keep even readers out.
        EXPECT_EQ(readFile(plain), patternBytes(64 * 1024, 1));
        EXPECT_EQ(run("lock", plain, "pw").exitCode, 0);
    }
}

TEST(Utf8Test, WellFormedTextConvertsAndMalformedBytesAreRefused) {
    // clang-format off
    for (const auto& [text, converted] : std::vector<std::pair<std::string_view, std::u16string>>{
             {"", u""}, {"\xC2\xA9", u"\u00A9"}, {"中文", u"中文"}, {"\xEF\xBF\xBF", u"\uFFFF"},
             {"\xF0\x9F\x98\x80", u"\U0001F600"}, {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
             {std::string_view("a\0b", 3), std::u16string(u"a\0b", 3)}})
        // clang-format on
        EXPECT_EQ(cli::utf8ToUtf16(text), converted);
    // Lone continuations and leads, overlong forms, surrogates, past U+10FFFF, five bytes.
    for (const std::string_view bad :
         {"\x80", "a\xBF", "\xC3", "\xE4\xB8", "\xE4\x41\xAD", "\xC0\xAF", "\xC1\xBF",
          "\xE0\x80\xAF", "\xF0\x82\x82\xAC", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80",
          "\xF8\x88\x80\x80\x80", "\xFE", "\xFF"})
        EXPECT_EQ(cli::utf8ToUtf16(bad), std::nullopt) << testing::PrintToString(std::string(bad));
}

} // namespace
} // namespace veskard::test
