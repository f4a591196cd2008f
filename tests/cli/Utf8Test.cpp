#include "cli/Utf8.h"

#include <gtest/gtest.h>

namespace veskard::cli {
namespace {

TEST(Utf8Test, WellFormedTextConvertsAndMalformedBytesAreRefused) {
    for (const auto& [text, converted] : std::vector<std::pair<std::string_view, std::u16string>>{
             {"", u""},
             {"pw 1", u"pw 1"},
             {"\xC2\xA9", u"\u00A9"},
             {"中文", u"中文"},
             {"\xEF\xBF\xBF", u"\uFFFF"},
             {"\xF0\x9F\x98\x80", u"\U0001F600"},
             {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
             {std::string_view("a\0b", 3), std::u16string(u"a\0b", 3)}})
        EXPECT_EQ(utf8ToUtf16(text), converted);
    // Lone continuations and leads, overlong forms, surrogates, past U+10FFFF, five bytes.
    for (const std::string_view bad :
         {"\x80", "a\xBF", "\xC3", "\xE4\xB8", "\xE4\x41\xAD", "\xC0\xAF", "\xC1\xBF",
          "\xE0\x80\xAF", "\xF0\x82\x82\xAC", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80",
          "\xF8\x88\x80\x80\x80", "\xFE", "\xFF"})
        EXPECT_EQ(utf8ToUtf16(bad), std::nullopt) << testing::PrintToString(std::string(bad));
}

} // namespace
} // namespace veskard::cli
