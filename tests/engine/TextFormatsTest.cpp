#include "engine/TextFormats.h"
#include "support/FixedClock.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <locale>
#include <string>
#include <vector>

using namespace veskard::engine;
using namespace std::chrono_literals;

namespace {

TEST(TextFormats, FixedFormatsGroupThousandsAndElapsedSecondsCountWholeSecondBoundaries) {
    const FixedTextFormats formats;
    for (const auto& [count, text] : std::vector<std::pair<std::uint64_t, std::string>>{
             {999, "999"}, {1000, "1,000"}, {1073741824, "1,073,741,824"}})
        EXPECT_EQ(formats.byteCount(count), text);
    const auto start = veskard::test::localTime(2026, 1, 2, 3, 4, 5);
    EXPECT_EQ(formats.dateTime(start), "2026-01-02 03:04:05");
    EXPECT_EQ(elapsedSeconds(start + 100ms, start + 900ms), 0);
    EXPECT_EQ(elapsedSeconds(start + 900ms, start + 1100ms), 1); // 0.2 s across a boundary
    EXPECT_EQ(elapsedSeconds(start + 999ms, start + 62s), 62);
}

#ifndef _WIN32
bool localeExists(const char* name) {
    try {
        return !std::locale(name).name().empty();
    } catch (const std::runtime_error&) {
        return false;
    }
}

// C and POSIX in any encoding, and a combined locale, have no regional
// settings: the fixed formats stand in.
TEST(TextFormats, EachCategoryFollowsItsOwnLocaleAndTheCLocaleGivesTheFixedFormats) {
    using Environment = std::vector<std::pair<const char*, const char*>>;
    const std::string fixed = "2026-12-06 17:04:48", german = "06.12.2026 17:04:48";
    std::vector<std::tuple<Environment, std::string, std::string>> cases{
        {{}, fixed, "6,000"},
        {{{"LC_ALL", "POSIX"}, {"LANG", "C.UTF-8"}}, fixed, "6,000"},
    };
    if (localeExists("de_DE.UTF-8") && localeExists("zh_CN.UTF-8")) {
        cases.insert(cases.end(),
                     {{{{"LANG", "zh_CN.UTF-8"}}, "2026年12月06日 17时04分48秒", "6,000"},
                      {{{"LANG", "de_DE.UTF-8"}, {"LC_TIME", "C.UTF-8"}}, fixed, "6.000"},
                      {{{"LANG", "C.UTF-8"}, {"LC_TIME", "de_DE.UTF-8"}}, german, "6,000"},
                      {{{"LC_ALL", "de_DE.UTF-8"}, {"LC_NUMERIC", "C"}}, german, "6.000"}});
    }
    const char* names[] = {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_CTYPE", "LANG"};
    std::vector<std::pair<const char*, std::string>> saved;
    for (const char* name : names)
        if (const char* value = std::getenv(name))
            saved.emplace_back(name, value);
    for (const auto& [environment, dateTime, byteCount] : cases) {
        std::string settings;
        for (const char* name : names)
            ::unsetenv(name);
        for (const auto& [name, value] : environment) {
            ::setenv(name, value, 1);
            settings += std::string(name) + "=" + value + " ";
        }
        const LocaleTextFormats formats;
        EXPECT_EQ(formats.dateTime(veskard::test::localTime(2026, 12, 6, 17, 4, 48)), dateTime)
            << settings;
        EXPECT_EQ(formats.byteCount(6000), byteCount) << settings;
    }
    for (const char* name : names)
        ::unsetenv(name);
    for (const auto& [name, value] : saved)
        ::setenv(name, value.c_str(), 1);
}
#endif

} // namespace
