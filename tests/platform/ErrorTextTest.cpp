#include "platform/ErrorText.h"
#include "platform/File.h"
#include "support/TempFolder.h"

#include <clocale>
#include <gtest/gtest.h>

using namespace veskard::platform;

TEST(ErrorText, DescribesARealFailureOnOneLine) {
    veskard::test::TempFolder folder;
    const auto missing = File::openForReading(folder / "missing.txt");
    ASSERT_FALSE(missing.ok());
    const std::string text = describeError(missing.error());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), ' ');
    // Errors of the program's own kinds keep their own words.
    EXPECT_EQ(describeError(std::make_error_code(std::errc::invalid_argument)),
              std::make_error_code(std::errc::invalid_argument).message());
}

#ifndef _WIN32
// The window and the command line take the user's locale (QApplication and
// src/cli/main.cpp call setlocale), and the system's words come in its language:
// on Debian from libc-l10n, which the package recommends.
TEST(ErrorText, SpeaksTheUsersLanguage) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "zh_CN.UTF-8"))
        GTEST_SKIP() << "zh_CN.UTF-8 is not generated here (locale-gen)";
    const std::string text = describeError(std::make_error_code(std::errc::read_only_file_system));
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(text, "只读文件系统");
}
#endif
