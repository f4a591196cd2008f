#include "engine/PasswordGenerator.h"
#include "engine/NumericValue.h"
#include "support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace veskard::test {
namespace {

using engine::Classes;
using engine::Generation;
using engine::PasswordGenerator;
using engine::Refusal;

constexpr Classes OnlyDigits{false, false, true, false};
constexpr Classes NoClasses{false, false, false, false};

// Every password of a run that must not be refused.
std::vector<std::string> generateAll(const PasswordGenerator& passwords, const Classes& classes,
                                     std::string_view length, std::string_view count) {
    auto started = passwords.start(classes, length, count);
    EXPECT_TRUE(std::holds_alternative<Generation>(started)) << "refused";
    std::vector<std::string> made;
    if (auto* run = std::get_if<Generation>(&started)) {
        while (!run->finished())
            made.push_back(run->next());
    }
    return made;
}

TEST(PasswordGenerator, PoolsHoldEveryPrintableSignButTheAtTheGraveAccentAndTheBlank) {
    const std::string all = engine::combinedPool({});
    ASSERT_EQ(all.size(), 92u);
    std::string expected;
    for (char c = '!'; c <= '~'; ++c) {
        if (c != '@' && c != '`')
            expected += c;
    }
    std::string sorted = all;
    std::ranges::sort(sorted);
    EXPECT_EQ(sorted, expected);
}

TEST(PasswordGenerator, DrawsPositionFloorOfRTimesNPlusOneFromThePoolsInTheirFixedOrder) {
    // 1-based positions in the pool of all four classes and what stands there.
    const std::map<int, char> positions = {{1, 'a'},  {26, 'z'}, {27, 'A'}, {52, 'Z'},
                                           {53, '0'}, {62, '9'}, {63, '!'}, {92, '~'}};
    std::vector<float> draws;
    std::string expected;
    for (const auto& [position, character] : positions) {
        draws.push_back((static_cast<float>(position) - 0.5f) / 92.0f);
        expected += character;
    }
    draws.push_back(0.0f);      // the first character
    draws.push_back(AlmostOne); // the last
    expected += "a~";
    ScriptedRandom random(draws);
    const PasswordGenerator passwords(random);
    EXPECT_EQ(generateAll(passwords, {}, "10", ""), std::vector<std::string>{expected});

    // Fewer classes: the same order, without the gaps.
    ScriptedRandom ends({0.0f, AlmostOne});
    const PasswordGenerator fromEnds(ends);
    EXPECT_EQ(generateAll(fromEnds, {false, true, false, true}, "2", ""),
              std::vector<std::string>{"A~"});
    EXPECT_EQ(generateAll(fromEnds, OnlyDigits, "1", ""), std::vector<std::string>{"9"});
    EXPECT_EQ(ends.reseeds(), 0) << "the generator only draws";
}

TEST(PasswordGenerator, ReadsSettingTextsLikeTheNumberBoxes) {
    struct Case {
        std::string_view text;
        double value;
        bool accepted;
        int setting;
    };
    const double infinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"1", 1, true, 1},
        {"1000", 1000, true, 1000},
        {"0", 0, false, 0},
        {"-3", -3, false, -1},
        {"1000.5", 1000.5, false, 1000},
        {"1001", 1001, false, 1000},
        {"abc", 0, false, 0},
        {"", 0, false, 0},
        {"0.4", 0.4, true, 0},
        {"2.5", 2.5, true, 2},
        {"3.5", 3.5, true, 4},
        {"12abc", 12, true, 12},
        {" \t1\n2 ", 12, true, 12},
        {"1\r2", 1, true, 1}, // a carriage return is not skipped
        {"+5", 5, true, 5},
        {"- 5", -5, false, -1},
        {"+-5", 0, false, 0},
        {"1.2.3", 1.2, true, 1},
        {".5", 0.5, true, 0},
        {"5.", 5, true, 5},
        {"1D2", 100, true, 100},
        {"25e-1", 2.5, true, 2},
        {"1e+2x", 100, true, 100},
        {"7e", 7, true, 7},
        {"1e400", infinity, false, 1000},
        {"-1e400", -infinity, false, -1},
        {"&h3E8", 1000, true, 1000},
        {"&O17", 15, true, 15},
        {"&o18", 1, true, 1},
        {"&H", 0, false, 0},
        {"&X1", 0, false, 0},
        {"\xef\xbc\x91\xef\xbc\x92", 0, false, 0}, // full-width digits are not digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + std::string(c.text) + "\"");
        EXPECT_EQ(engine::numericValue(c.text), c.value);
        EXPECT_EQ(engine::isAccepted(c.text), c.accepted);
        EXPECT_EQ(engine::settingValue(c.text), c.setting);
    }
}

TEST(PasswordGenerator, RefusesAnEmptyLengthFirstThenNoClasses) {
    ScriptedRandom random({0.5f});
    const PasswordGenerator passwords(random);
    const auto refusal = [&](const Classes& classes, std::string_view length) {
        auto started = passwords.start(classes, length, "");
        return std::holds_alternative<Refusal>(started) ? std::optional(std::get<Refusal>(started))
                                                        : std::nullopt;
    };
    EXPECT_EQ(refusal(NoClasses, ""), Refusal::NoLength);
    EXPECT_EQ(refusal({}, ""), Refusal::NoLength);
    EXPECT_EQ(refusal(NoClasses, "8"), Refusal::NoClasses);
    EXPECT_EQ(refusal({}, " "), std::nullopt) << "a blank is not an empty text";

    EXPECT_EQ(engine::refusalNotice(Refusal::NoLength),
              (engine::Notice{engine::Icon::Exclamation, "请输入密码位数！"}));
    EXPECT_EQ(engine::refusalNotice(Refusal::NoClasses),
              (engine::Notice{engine::Icon::Exclamation, "请选择密码字符！"}));
}

TEST(PasswordGenerator, MakesCountPasswordsOfLengthCharacters) {
    ScriptedRandom random({0.1f, 0.35f, 0.6f, AlmostOne});
    const PasswordGenerator passwords(random);

    const std::vector<std::string> digits = generateAll(passwords, OnlyDigits, "4", "3");
    ASSERT_EQ(digits.size(), 3u);
    EXPECT_EQ(digits[0], "1369");
    for (const std::string& password : digits)
        EXPECT_EQ(password.find_first_not_of(engine::DigitPool), std::string::npos);

    struct Case {
        std::string_view length;
        std::string_view count;
        std::size_t passwords;
        std::size_t characters;
    };
    // The texts read as ReadsSettingTextsLikeTheNumberBoxes shows; here, what
    // each value makes: no count is one password, a length of 0 empty ones.
    const Case cases[] = {
        {"8", "", 1, 8},    {"0.4", "2", 2, 0}, {"abc", "3", 3, 0},
        {"5", "0.4", 0, 0}, {"5", "-3", 0, 0},  {"5", "2.5", 2, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("length \"" + std::string(c.length) + "\", count \"" + std::string(c.count) +
                     "\"");
        const std::vector<std::string> made = generateAll(passwords, {}, c.length, c.count);
        EXPECT_EQ(made.size(), c.passwords);
        for (const std::string& password : made)
            EXPECT_EQ(password.size(), c.characters);
    }
    EXPECT_EQ(random.reseeds(), 0);
}

TEST(PasswordGenerator, RealDrawsCoverThePoolEvenly) {
    engine::SystemRandom system;
    const PasswordGenerator passwords(system);
    std::map<char, int> seen;
    for (const std::string& password : generateAll(passwords, {}, "1000", "92")) {
        for (const char c : password)
            ++seen[c];
    }
    ASSERT_EQ(seen.size(), 92u) << "every character drawn";
    // Pearson's chi-square over 92 characters, 1000 expected each (91 degrees
    // of freedom): above 200 happens by chance about once in 10^9 runs.
    double chiSquare = 0;
    for (const auto& [character, count] : seen)
        chiSquare += (count - 1000.0) * (count - 1000.0) / 1000.0;
    EXPECT_LT(chiSquare, 200.0);
}

} // namespace
} // namespace veskard::test
