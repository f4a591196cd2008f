#include "engine/PasswordGenerator.h"
#include "engine/NumericValue.h"
#include "support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace veskard::test {
namespace {

using engine::Classes;
using engine::Generation;
using engine::PasswordGenerator;
using engine::Refusal;
using Passwords = std::vector<std::string>;

constexpr Classes OnlyDigits{false, false, true, false};

Passwords generateAll(const PasswordGenerator& passwords, const Classes& classes,
                      std::string_view length, std::string_view count) {
    auto started = passwords.start(classes, length, count);
    EXPECT_TRUE(std::holds_alternative<Generation>(started)) << "refused";
    Passwords made;
    for (auto* run = std::get_if<Generation>(&started); run && !run->finished();)
        made.push_back(run->next());
    return made;
}

// 92 signs: every printable one but @, ` and the blank, drawn at position
// floor(r * n) + 1 of the pools in their fixed order; fewer classes close the gaps.
TEST(PasswordGenerator, DrawsFromThePoolsInTheirFixedOrder) {
    std::string all = engine::combinedPool({}), expected;
    for (char c = '!'; c <= '~'; ++c)
        if (c != '@' && c != '`')
            expected += c;
    std::ranges::sort(all);
    EXPECT_EQ(all, expected);

    std::vector<float> draws;
    for (const int position : {1, 26, 27, 52, 53, 62, 63, 92})
        draws.push_back((static_cast<float>(position) - 0.5f) / 92.0f);
    draws.insert(draws.end(), {0.0f, AlmostOne});
    ScriptedRandom random(draws);
    EXPECT_EQ(generateAll(PasswordGenerator(random), {}, "10", ""), Passwords{"azAZ09!~a~"});
    ScriptedRandom ends({0.0f, AlmostOne});
    const PasswordGenerator fromEnds(ends);
    EXPECT_EQ(generateAll(fromEnds, {false, true, false, true}, "2", ""), Passwords{"A~"});
    EXPECT_EQ(generateAll(fromEnds, OnlyDigits, "1", ""), Passwords{"9"});
    EXPECT_EQ(ends.reseeds(), 0) << "the generator only draws";
}

TEST(PasswordGenerator, ReadsSettingTextsLikeTheNumberBoxes) {
    const double infinity = std::numeric_limits<double>::infinity();
    // A carriage return is not skipped; full-width digits are no digits.
    // clang-format off
    for (const auto& [text, value, accepted, setting] :
         std::vector<std::tuple<std::string_view, double, bool, int>>{
        {"1", 1, true, 1}, {"1000", 1000, true, 1000}, {"0", 0, false, 0}, {"-3", -3, false, -1},
        {"1000.5", 1000.5, false, 1000}, {"abc", 0, false, 0}, {"", 0, false, 0},
        {"0.4", 0.4, true, 0}, {"2.5", 2.5, true, 2}, {"3.5", 3.5, true, 4},
        {" \t1\n2 ", 12, true, 12}, {"1\r2", 1, true, 1}, {"+5", 5, true, 5},
        {"- 5", -5, false, -1}, {"+-5", 0, false, 0}, {"1.2.3", 1.2, true, 1}, {".5", 0.5, true, 0},
        {"1D2", 100, true, 100}, {"25e-1", 2.5, true, 2}, {"1e+2x", 100, true, 100},
        {"7e", 7, true, 7}, {"1e400", infinity, false, 1000}, {"&h3E8", 1000, true, 1000},
        {"&O17", 15, true, 15}, {"&o18", 1, true, 1}, {"&H", 0, false, 0}, {"&X1", 0, false, 0},
        {"\xef\xbc\x91\xef\xbc\x92", 0, false, 0}}) {
        // clang-format on
        SCOPED_TRACE("text \"" + std::string(text) + "\"");
        EXPECT_EQ(engine::numericValue(text), value);
        EXPECT_EQ(engine::isAccepted(text), accepted);
        EXPECT_EQ(engine::settingValue(text), setting);
    }
}

// An empty length is refused first, then no classes.
TEST(PasswordGenerator, MakesCountPasswordsOfLengthCharactersOrRefuses) {
    ScriptedRandom random({0.1f, 0.35f, 0.6f, AlmostOne});
    const PasswordGenerator passwords(random);
    const auto refusal = [&](const Classes& classes, std::string_view length) {
        auto started = passwords.start(classes, length, "");
        auto* refused = std::get_if<Refusal>(&started);
        return refused ? std::optional(*refused) : std::nullopt;
    };
    constexpr Classes none{false, false, false, false};
    EXPECT_EQ(refusal(none, ""), Refusal::NoLength);
    EXPECT_EQ(refusal(none, "8"), Refusal::NoClasses);
    EXPECT_EQ(refusal({}, " "), std::nullopt) << "a blank is not an empty text";

    EXPECT_EQ(generateAll(passwords, OnlyDigits, "4", "3"), (Passwords{"1369", "9999", "9999"}));
    const std::tuple<std::string_view, std::string_view, std::size_t, std::size_t> cases[] = {
        {"8", "", 1, 8},    {"0.4", "2", 2, 0}, {"abc", "3", 3, 0},
        {"5", "0.4", 0, 0}, {"5", "-3", 0, 0},  {"5", "2.5", 2, 5}};
    for (const auto& [length, count, number, characters] : cases) {
        const Passwords made = generateAll(passwords, {}, length, count);
        EXPECT_EQ(made.size(), number) << length << " " << count;
        for (const std::string& password : made)
            EXPECT_EQ(password.size(), characters);
    }
}

// Pearson's chi-square over 92 characters, 1000 expected each (91 degrees of
// freedom): above 200 happens by chance about once in 10^9 runs.
TEST(PasswordGenerator, RealDrawsCoverThePoolEvenly) {
    engine::SystemRandom system;
    std::map<char, int> seen;
    for (const std::string& password : generateAll(PasswordGenerator(system), {}, "1000", "92"))
        for (const char c : password)
            ++seen[c];
    ASSERT_EQ(seen.size(), 92u) << "every character drawn";
    double chiSquare = 0;
    for (const auto& [character, count] : seen)
        chiSquare += (count - 1000.0) * (count - 1000.0) / 1000.0;
    EXPECT_LT(chiSquare, 200.0);
}

} // namespace
} // namespace veskard::test
