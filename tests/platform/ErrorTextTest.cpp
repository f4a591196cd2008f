#include "platform/ErrorText.h"
#include "platform/File.h"
#include "support/TempFolder.h"

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
