#include "platform/CodePage.h"
#include "platform/ProgramDirectory.h"

#include <gtest/gtest.h>

using namespace veskard::platform;

TEST(CodePage, ConvertsBothWaysAndMarksWhatItCannotHold) {
    EXPECT_EQ(toCodePage(u'A'), 0x41);
    EXPECT_EQ(toCodePage(u'中'), 0xD6D0);
    EXPECT_EQ(toCodePage(u'€'), 0x80);
    EXPECT_EQ(toCodePage(u'ก'), QuestionMarkCode);
    EXPECT_EQ(toCodePage(char16_t{0xD83D}), QuestionMarkCode); // half of a surrogate pair

    EXPECT_EQ(fromCodePage(0x41), u'A');
    EXPECT_EQ(fromCodePage(0xD6D0), u'中');
    EXPECT_EQ(fromCodePage(0x80), u'€');
    EXPECT_EQ(fromCodePage(0x81), u'?'); // a lead byte alone
    EXPECT_EQ(fromCodePage(0x4142), u'?'); // two characters, not one
}

TEST(ProgramDirectory, IsTheFolderOfTheRunningExecutable) {
    const std::filesystem::path folder = programDirectory();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::exists(folder / "platform_tests") ||
                std::filesystem::exists(folder / "platform_tests.exe"));
}
