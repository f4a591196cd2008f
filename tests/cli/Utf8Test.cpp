#include "cli/Utf8.h"

#include <gtest/gtest.h>

namespace veskard::cli {
namespace {

TEST(Utf8Test, WellFormedTextOfEveryLengthConverts) {
    EXPECT_EQ(utf8ToUtf16(""), u"");
    EXPECT_EQ(utf8ToUtf16("pw 1"), u"pw 1");
    EXPECT_EQ(utf8ToUtf16("\xC2\xA9"), u"\u00A9");
    EXPECT_EQ(utf8ToUtf16("中文"), u"中文");
    EXPECT_EQ(utf8ToUtf16("\xEF\xBF\xBF"), u"\uFFFF");
    // Past the 16-bit range: a surrogate pair.
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(utf8ToUtf16("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
    EXPECT_EQ(utf8ToUtf16(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Utf8Test, MalformedBytesAreRefused) {
    for (const std::string_view bad : {
             "\x80",                 // continuation without a lead
             "a\xBF",                // the same after text
             "\xC3",                 // lead at the end
             "\xE4\xB8",             // three-byte lead, one continuation
             "\xE4\x41\xAD",         // a plain byte where a continuation belongs
             "\xC0\xAF",             // overlong '/'
             "\xC1\xBF",             // overlong
             "\xE0\x80\xAF",         // overlong in three bytes
             "\xF0\x82\x82\xAC",     // overlong in four bytes
             "\xED\xA0\x80",         // a surrogate, encoded on its own
             "\xED\xBF\xBF",         // the last surrogate
             "\xF4\x90\x80\x80",     // past U+10FFFF
             "\xF8\x88\x80\x80\x80", // five-byte form
             "\xFE",
             "\xFF",
         }) {
        EXPECT_EQ(utf8ToUtf16(bad), std::nullopt) << testing::PrintToString(std::string(bad));
    }
}

} // namespace
} // namespace veskard::cli
