#include "Cli.h"

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
    ASSERT_TRUE(ended(lock(file, "Sesame-7"), 0, ""));
    const auto recordSize = static_cast<long long>(std::filesystem::file_size(file));
    std::ofstream(file, std::ios::app | std::ios::binary) << "7 bytes";
    const ChildOutcome info = cli({"info", utf8(file)}, "Sesame-7\n");
    ASSERT_TRUE(ended(info, 0, ""));
    EXPECT_EQ(info.out.find("Sesame"), std::string::npos);
    EXPECT_NE(info.out.find("文件：" + utf8(file) + "\n"), std::string::npos) << info;
    EXPECT_EQ(infoValue(info.out, "原文件大小"), static_cast<long long>(size));
    EXPECT_EQ(infoValue(info.out, "记录大小"), recordSize);
    EXPECT_EQ(infoValue(info.out, "密码长度"), 8);
    EXPECT_GE(infoValue(info.out, "块数"), 1024);
    EXPECT_EQ(infoValue(info.out, "记录后的数据"), 7);
    EXPECT_TRUE(ended(unlock(file, "Sesame-7"), 0,
                      "veskard-cli: 警告：" + printed(engine::Messages::bytesNotRestored(7))));
    EXPECT_EQ(readFile(file), patternBytes(size));
}

// An existing OUT, and a file locked already, are written over only when forced.
TEST_F(CommandLineTest, OutputAndRelockingOnlyWhenForced) {
    const std::filesystem::path source = makeFile(u8"source.txt");
    const std::filesystem::path out = folder_.path() / u8"副本.vsk";
    ASSERT_TRUE(ended(lock(source, "pw", {"-o", utf8(out)}), 0));
    EXPECT_EQ(readFile(source), patternBytes(3000));
    const std::vector<std::byte> record = readFile(out);
    EXPECT_TRUE(ended(lock(source, "other", {"-o", utf8(out)}), 1,
                      "veskard-cli: '" + utf8(out) + "'已存在！要替换它，请加上 --force。\n"));
    EXPECT_TRUE(ended(lock(out, "pw"), 1, printed(engine::Messages::alreadyEnciphered())));
    EXPECT_EQ(readFile(out), record);

    ASSERT_TRUE(ended(unlock(out, "pw", {"--force", "-o", utf8(source)}), 0));
    EXPECT_EQ(readFile(source), patternBytes(3000));
    EXPECT_EQ(readFile(out), record) << "unlocking to OUT keeps FILE";
    ASSERT_TRUE(ended(lock(out, "pw", {"--force"}), 0));
    ASSERT_TRUE(ended(unlock(out, "pw"), 0));
    EXPECT_EQ(readFile(out), record);
}

// The line end of a Windows-written password file is not part of the password.
TEST_F(CommandLineTest, PasswordsComeWholeAsUtf8OrTheFileStaysAsItWas) {
    const std::filesystem::path file = makeFile(u8"secret.doc");
    ASSERT_TRUE(ended(cli({"lock", utf8(file), "--password-stdin"}, "中文\r\n"), 0));
    EXPECT_EQ(infoValue(cli({"info", utf8(file)}).out, "密码长度"), 2);
    const std::vector<std::byte> record = readFile(file);
    for (const std::string attempt : {"中", "中文 ", ""})
        EXPECT_TRUE(ended(unlock(file, attempt), 1, "密码不正确！\n")) << attempt;
    EXPECT_TRUE(ended(unlock(file, "nope", {"-o", utf8(folder_ / "out")}), 1));
    // Without a terminal and without --password-stdin there is no one to ask.
    for (const char* command : {"unlock", "lock"}) {
        const ChildOutcome outcome = cli({command, utf8(file), "--force"});
        EXPECT_TRUE(ended(outcome, 1)) << command;
        EXPECT_NE(outcome.err.find("--password-stdin"), std::string::npos) << outcome;
    }
    EXPECT_EQ(readFile(file), record);
    EXPECT_EQ(folder_.names().size(), 1u);
    ASSERT_TRUE(ended(unlock(file, "中文"), 0));

    EXPECT_TRUE(ended(lock(file, "\xE4\xB8"), 1, "密码不是有效的 UTF-8 文字！\n"));
    EXPECT_TRUE(ended(lock(file, "\xF0\x9F\x98\x80"), 1)) << "a character the record cannot hold";
    EXPECT_EQ(readFile(file), patternBytes(3000));
}

// Each refusal is told, and exits 1; no name makes the program abort.
TEST_F(CommandLineTest, RefusalsTellWhyAndExit1) {
    const std::filesystem::path empty = makeFile(u8"空文件.txt", 0);
    const std::filesystem::path plain = makeFile(u8"plain.txt");
    const std::filesystem::path tooLong = folder_ / std::string(300, 'n');
    const std::vector<std::pair<ChildOutcome, std::string>> refusals = {
        {lock(empty, "pw"), printed(engine::Messages::zeroSizeFile(empty))},
        {lock(makeFile(u8"small", 100), "pw"), printed(engine::Messages::fileTooSmall())},
        {unlock(plain, "pw"), printed(engine::Messages::damagedOrNotEnciphered())},
        {cli({"info", utf8(plain)}), printed(engine::Messages::damagedOrNotEnciphered())},
        {lock(plain, ""), printed(engine::Messages::emptyPassword())},
        {lock(folder_ / "missing", "pw"), ""},
        {lock(tooLong, "pw"), ""},
        {lock(plain, "pw", {"-o", utf8(tooLong)}), ""}};
    for (const auto& [outcome, err] : refusals) {
        EXPECT_TRUE(ended(outcome, 1, err.empty() ? std::nullopt : std::optional(err)));
        EXPECT_NE(outcome.err, "") << "a silent engine failure still says why";
    }
    EXPECT_EQ(readFile(plain), patternBytes(3000));
    EXPECT_EQ(folder_.names().size(), 3u);
}

TEST_F(CommandLineTest, HelpVersionAndUsageErrors) {
    EXPECT_EQ(cli({"--version"}).out, "1.6\n");
    const ChildOutcome help = cli({"--help"});
    EXPECT_TRUE(ended(help, 0));
    for (const char* word : {"lock", "unlock", "info", "--force", "--password-stdin"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    EXPECT_EQ(cli({"lock", "--help"}).out, help.out);

    const std::string file = utf8(makeFile(u8"data"));
    const std::vector<std::vector<std::string>> mistakes = {{},
                                                            {"encrypt", file},
                                                            {"lock"},
                                                            {"unlock", "--password-stdin"},
                                                            {"lock", file, "--bogus"},
                                                            {"lock", file, "-o"},
                                                            {"lock", file, file},
                                                            {"info", file, "--force"},
                                                            {"info", file, "-o", file + "2"},
                                                            {"--version", "lock"},
                                                            {"lock", "", "--password-stdin"},
                                                            {"generate", "-l"},
                                                            {"generate", "-l", "8", "--length"},
                                                            {"generate", "-l", "8", "extra"}};
    for (const std::vector<std::string>& mistake : mistakes) {
        const ChildOutcome outcome = cli(mistake, "pw\n");
        EXPECT_TRUE(ended(outcome, 2)) << ::testing::PrintToString(mistake);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("用法"), std::string::npos) << outcome;
    }
    EXPECT_EQ(folder_.names().size(), 1u);

    // "--" lets a file be named like an option.
    makeFile(u8"-o");
    EXPECT_TRUE(ended(runChild({CliProgram, "lock", "--password-stdin", "--", "-o"},
                               {.input = "pw\n", .workingDirectory = utf8(folder_.path())}),
                      0));
    EXPECT_NE(readFile(folder_ / "-o"), patternBytes(3000));
}

} // namespace
} // namespace veskard::test
