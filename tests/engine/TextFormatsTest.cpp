#include "engine/TextFormats.h"
#include "support/FixedClock.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <locale>
#include <string>
#include <vector>

using namespace veskard::engine;
using namespace std::chrono_literals;

TEST(TextFormats, FixedFormatsGroupThousandsAndShowSeconds) {
    const FixedTextFormats formats;
    EXPECT_EQ(formats.byteCount(101), "101");
    EXPECT_EQ(formats.byteCount(999), "999");
    EXPECT_EQ(formats.byteCount(1000), "1,000");
    EXPECT_EQ(formats.byteCount(2048), "2,048");
    EXPECT_EQ(formats.byteCount(1073741824), "1,073,741,824");
    EXPECT_EQ(formats.dateTime(veskard::test::localTime(2026, 1, 2, 3, 4, 5)),
              "2026-01-02 03:04:05");
}

TEST(TextFormats, ElapsedSecondsCountWholeSecondBoundaries) {
    const auto start = veskard::test::localTime(2026, 12, 6, 10, 0, 0);
    EXPECT_EQ(elapsedSeconds(start + 100ms, start + 900ms), 0);
    EXPECT_EQ(elapsedSeconds(start + 900ms, start + 1100ms), 1); // 0.2 s across a boundary
    EXPECT_EQ(elapsedSeconds(start, start + 1999ms), 1);
    EXPECT_EQ(elapsedSeconds(start + 999ms, start + 62s), 62);
}

#ifndef _WIN32
namespace {

// The environment's locale variables for a while, as they are put back afterwards.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(const std::vector<std::pair<std::string, std::string>>& settings) {
        for (const char* name : {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_CTYPE", "LANG"}) {
            if (const char* value = std::getenv(name))
                saved_.emplace_back(name, value);
            ::unsetenv(name);
        }
        for (const auto& [name, value] : settings)
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    ~LocaleEnvironment() {
        for (const char* name : {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_CTYPE", "LANG"})
            ::unsetenv(name);
        for (const auto& [name, value] : saved_)
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    LocaleEnvironment(const LocaleEnvironment&) = delete;
    LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

struct LocaleCase {
    std::vector<std::pair<std::string, std::string>> environment;
    std::string dateTime;
    std::string byteCount;
};

void expectFormats(const std::vector<LocaleCase>& cases) {
    const auto time = veskard::test::localTime(2026, 12, 6, 17, 4, 48);
    for (const auto& [environment, dateTime, byteCount] : cases) {
        const LocaleEnvironment set(environment);
        const LocaleTextFormats formats;
        std::string settings;
        for (const auto& [name, value] : environment)
            settings += name + "=" + value + " ";
        EXPECT_EQ(formats.dateTime(time), dateTime) << settings;
        EXPECT_EQ(formats.byteCount(6000), byteCount) << settings;
    }
}

bool localeExists(const char* name) {
    try {
        return !std::locale(name).name().empty();
    } catch (const std::runtime_error&) {
        return false;
    }
}

} // namespace

// C and POSIX in any encoding have no regional settings, only American
// defaults (12/06/26, 6000): the fixed formats stand in. A combined locale
// ("LC_CTYPE=C.UTF-8;LC_NUMERIC=C;...") is no regional one either.
TEST(TextFormats, TheCLocaleInAnyEncodingGivesTheFixedFormats) {
    const std::string date = "2026-12-06 17:04:48";
    expectFormats({
        {{}, date, "6,000"},
        {{{"LANG", "C.UTF-8"}}, date, "6,000"},
        {{{"LANG", "C.utf8"}}, date, "6,000"},
        {{{"LC_ALL", "POSIX"}, {"LANG", "C.UTF-8"}}, date, "6,000"},
        {{{"LC_CTYPE", "C.UTF-8"}}, date, "6,000"},
    });
}

// Dates follow the time category, numbers the numeric one.
TEST(TextFormats, EachCategoryFollowsItsOwnLocale) {
    if (!localeExists("de_DE.UTF-8") || !localeExists("zh_CN.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 or zh_CN.UTF-8 is not generated here (locale-gen)";
    const std::string fixed = "2026-12-06 17:04:48";
    const std::string german = "06.12.2026 17:04:48";
    expectFormats({
        {{{"LANG", "zh_CN.UTF-8"}}, "2026年12月06日 17时04分48秒", "6,000"},
        {{{"LANG", "de_DE.UTF-8"}}, german, "6.000"},
        {{{"LANG", "de_DE.UTF-8"}, {"LC_TIME", "C.UTF-8"}}, fixed, "6.000"},
        {{{"LANG", "C.UTF-8"}, {"LC_TIME", "de_DE.UTF-8"}}, german, "6,000"},
        {{{"LC_ALL", "de_DE.UTF-8"}, {"LC_NUMERIC", "C"}}, german, "6.000"},
    });
}
#endif
