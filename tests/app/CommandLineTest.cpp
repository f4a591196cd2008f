#include "app/CommandLine.h"
#include "gui/desktop/NameText.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

using namespace veskard;
using app::CommandLine;
using app::readCommandLine;
using app::Switches;

namespace {

constexpr Switches None{}, Encrypt{true, false, false}, Show{false, true, false};
constexpr Switches EncryptShow{true, true, false};

CommandLine plain(Switches switches, const char* name) {
    return {switches, false, QString::fromUtf8(name), {}};
}
CommandLine switchForm(Switches switches, const char* name) {
    return {switches, true, QString::fromUtf8(name), {}};
}
// A name whose bytes are not UTF-8 is no file name: shown, never acted on.
CommandLine refused(Switches switches, bool switchForm, const char* shown) {
    return {switches,
            switchForm,
            {},
            QString(texts::unattended::undecodableName) + QString::fromUtf8(shown)};
}

} // namespace

namespace veskard::app {
void PrintTo(const CommandLine& line, std::ostream* out) {
    *out << "{" << line.switches.encrypt << line.switches.showResult << line.switches.decrypt
         << line.switches.strong << (line.switchForm ? " switch form '" : " plain '")
         << line.fileName.toStdString() << "' refusal '" << line.nameRefusal.toStdString() << "'}";
}
} // namespace veskard::app

// Windows hands over one text: switches anywhere in it, the name after its first blank.
TEST(CommandLine, ReadsSwitchesBlankAndFileName) {
    const std::vector<std::pair<const char*, CommandLine>> cases = {
        {"", plain(None, "")},
        {"C:\\a.txt", plain(None, "C:\\a.txt")},
        {"/e/s  two blanks ", switchForm(EncryptShow, " two blanks ")},
        {"/r/s x", switchForm({false, true, true}, "x")},
        {"/e/k/s x", switchForm({true, true, false, true}, "x")},
        {"/e", plain(Encrypt, "/e")}, // no blank: the whole text is the name
        {"/s C:\\a.txt", plain(Show, "/s C:\\a.txt")},
        {"C:\\a.txt /e", switchForm(Encrypt, "/e")},
        {"/E C:\\a.txt", plain(None, "/E C:\\a.txt")},
        {"/e/r C:\\a.txt", switchForm({true, false, true}, "C:\\a.txt")},
        {"/e \"C:\\a b.txt\"", switchForm(Encrypt, "\"C:\\a b.txt\"")},
        {"/e/s ", switchForm(EncryptShow, "")},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(readCommandLine(QString::fromUtf8(text)), expected) << text;
}

// POSIX hands the arguments over one by one, and its paths are full of
// slashes: only a first argument made of switches alone holds them.
TEST(CommandLine, TakesTheSwitchesOnlyFromAFirstArgumentMadeOfThem) {
    const std::vector<std::pair<QList<QByteArray>, CommandLine>> cases = {
        {{"/e/s", "my", "file.txt"}, switchForm(EncryptShow, "my file.txt")},
        {{"/s/r/e/e", "x"}, switchForm({true, true, true}, "x")},
        {{"/k/e", "x"}, switchForm({true, false, false, true}, "x")},
        {{"./every/one.txt", "two.txt"}, plain(None, "./every/one.txt two.txt")},
        {{"/e/s.txt", "x"}, plain(None, "/e/s.txt x")},
        {{"e/s", "x"}, plain(None, "e/s x")},
        {{"/srv/x", "/e"}, plain(None, "/srv/x /e")},
        {{"/s", "x"}, plain(Show, "/s x")},
        {{"/e"}, plain(Encrypt, "/e")},
        {{"/E", "x"}, plain(None, "/E x")},
        {{}, plain(None, "")},
        {{"/e/s", "\xFF\xFE.bin"}, refused(EncryptShow, true, "\\xFF\\xFE.bin")},
        {{"a\xE4\xB8", "\xE4\xB8\xAD\xC0\xAF"}, refused(None, false, "a\\xE4\\xB8 中\\xC0\\xAF")},
        {{"/e/s", "\xEF\xBF\xBD.bin"}, switchForm(EncryptShow, "\uFFFD.bin")}, // U+FFFD itself
        // Qt drops a leading byte-order mark: the text would name another file.
        {{"/e/s", "\xEF\xBB\xBF 报告"}, refused(EncryptShow, true, "\\xEF\\xBB\\xBF 报告")},
    };
    for (const auto& [arguments, expected] : cases)
        EXPECT_EQ(readCommandLine(gui::CommandLineText{{}, arguments}), expected)
            << arguments.join(' ').toStdString();
}
