#include "startup/CommandLine.h"

#include <gtest/gtest.h>

using namespace veskard;
using startup::CommandLine;
using startup::readCommandLine;
using startup::Switches;

namespace {

constexpr Switches None{};
constexpr Switches Encrypt{true, false, false};
constexpr Switches EncryptShow{true, true, false};
constexpr Switches Show{false, true, false};

CommandLine plain(Switches switches, const char* name) {
    return {switches, false, QString::fromUtf8(name)};
}
CommandLine switchForm(Switches switches, const char* name) {
    return {switches, true, QString::fromUtf8(name)};
}

} // namespace

TEST(CommandLine, ReadsSwitchesBlankAndFileName) {
    const std::vector<std::pair<const char*, CommandLine>> cases = {
        {"", plain(None, "")},
        {"C:\\a.txt", plain(None, "C:\\a.txt")},
        {"/e/s D:\\my file.txt", switchForm(EncryptShow, "D:\\my file.txt")},
        {"/e/s  two blanks ", switchForm(EncryptShow, " two blanks ")},
        {"/r/s x", switchForm({false, true, true}, "x")},
        {"/e", plain(Encrypt, "/e")}, // no blank: the whole text is the name
        {"/s C:\\a.txt", plain(Show, "/s C:\\a.txt")},
        {"C:\\a.txt /e", switchForm(Encrypt, "/e")},
        {"/E C:\\a.txt", plain(None, "/E C:\\a.txt")},
        {"/e/r C:\\a.txt", switchForm({true, false, true}, "C:\\a.txt")},
        {"/e D:/r/x.txt", switchForm({true, false, true}, "D:/r/x.txt")},
        {"/e \"C:\\a b.txt\"", switchForm(Encrypt, "\"C:\\a b.txt\"")},
        {"\"C:\\a.txt\"", plain(None, "\"C:\\a.txt\"")},
        {"/e/s ", switchForm(EncryptShow, "")},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(readCommandLine(QString::fromUtf8(text)), expected) << text;
}

// POSIX hands the arguments over one by one, and its paths are full of slashes.
TEST(CommandLine, TakesTheSwitchesFromTheFirstOfSeparateArguments) {
    const std::vector<std::pair<QList<QByteArray>, CommandLine>> cases = {
        {{"/e/s", "/home/rob/a b.txt"}, switchForm(EncryptShow, "/home/rob/a b.txt")},
        {{"/e/s", "my", "file.txt"}, switchForm(EncryptShow, "my file.txt")},
        {{"/home/rob/a b.txt"}, plain({false, false, true}, "/home/rob/a b.txt")},
        {{"/srv/x", "/e"}, plain(Show, "/srv/x /e")},
        {{"/e"}, plain(Encrypt, "/e")},
        {{"/E", "x"}, plain(None, "/E x")},
        {{}, plain(None, "")},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(readCommandLine(desktop::CommandLineText{{}, arguments}), expected)
            << arguments.join(' ').toStdString();
    }
}
