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
constexpr bool Plain = false, SwitchForm = true;

#ifndef _WIN32
// A name whose bytes are not UTF-8 is no file name: shown, never acted on.
CommandLine refused(Switches switches, bool form, const char* shown) {
    return {switches, form, {}, texts::unattended::undecodableName + QString::fromUtf8(shown)};
}
#endif

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
        {"", {None, Plain, "", {}}},
        {"C:\\a.txt", {None, Plain, "C:\\a.txt", {}}},
        {"/e/s  two blanks ", {EncryptShow, SwitchForm, " two blanks ", {}}},
        {"/r/s x", {{false, true, true}, SwitchForm, "x", {}}},
        {"/e/k/s x", {{true, true, false, true}, SwitchForm, "x", {}}},
        {"/e", {Encrypt, Plain, "/e", {}}}, // no blank: the whole text is the name
        {"/s C:\\a.txt", {Show, Plain, "/s C:\\a.txt", {}}},
        {"C:\\a.txt /e", {Encrypt, SwitchForm, "/e", {}}},
        {"/E C:\\a.txt", {None, Plain, "/E C:\\a.txt", {}}},
        {"/e/r C:\\a.txt", {{true, false, true}, SwitchForm, "C:\\a.txt", {}}},
        {"/e \"C:\\a b.txt\"", {Encrypt, SwitchForm, "\"C:\\a b.txt\"", {}}},
        {"/e/s ", {EncryptShow, SwitchForm, "", {}}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(readCommandLine(QString::fromUtf8(text)), expected) << text;
}

#ifndef _WIN32 // POSIX hands over arguments, Windows one text
// POSIX hands the arguments over one by one, and its paths are full of
// slashes: only a first argument made of switches alone holds them.
TEST(CommandLine, TakesTheSwitchesOnlyFromAFirstArgumentMadeOfThem) {
    const std::vector<std::pair<QList<QByteArray>, CommandLine>> cases = {
        {{"/e/s", "my", "file.txt"}, {EncryptShow, SwitchForm, "my file.txt", {}}},
        {{"/s/r/e/e", "x"}, {{true, true, true}, SwitchForm, "x", {}}},
        {{"/k/e", "x"}, {{true, false, false, true}, SwitchForm, "x", {}}},
        {{"./every/one.txt", "two.txt"}, {None, Plain, "./every/one.txt two.txt", {}}},
        {{"/e/s.txt", "x"}, {None, Plain, "/e/s.txt x", {}}},
        {{"/srv/x", "/e"}, {None, Plain, "/srv/x /e", {}}},
        {{"/s", "x"}, {Show, Plain, "/s x", {}}},
        {{"/e"}, {Encrypt, Plain, "/e", {}}},
        {{}, {None, Plain, "", {}}},
        {{"/e/s", "\xFF\xFE.bin"}, refused(EncryptShow, SwitchForm, "\\xFF\\xFE.bin")},
        {{"a\xE4\xB8", "\xE4\xB8\xAD\xC0\xAF"}, refused(None, Plain, "a\\xE4\\xB8 中\\xC0\\xAF")},
        {{"/e/s", "\xEF\xBF\xBD.bin"},
         {EncryptShow, SwitchForm, "\uFFFD.bin", {}}}, // U+FFFD itself
        // Qt drops a leading byte-order mark: the text would name another file.
        {{"/e/s", "\xEF\xBB\xBF 报告"}, refused(EncryptShow, SwitchForm, "\\xEF\\xBB\\xBF 报告")},
    };
    for (const auto& [arguments, expected] : cases)
        EXPECT_EQ(readCommandLine(gui::CommandLineText{{}, arguments}), expected)
            << arguments.join(' ').toStdString();
}
#endif
