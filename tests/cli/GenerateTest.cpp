#include "Cli.h"
#include "engine/PasswordGenerator.h"

#include <sstream>

namespace veskard::test {
namespace {

// The passwords a successful run printed, one a line.
std::vector<std::string> generate(std::vector<std::string> options) {
    options.insert(options.begin(), "generate");
    const ChildOutcome run = cli(options);
    EXPECT_TRUE(ended(run, 0, ""));
    std::vector<std::string> lines;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// How the numbers read, the engine's tests check; here, that the switches
// reach it, and what the command line alone shows.
TEST(GenerateCommand, PrintsFreshPasswordsOneALineOfTheClassesAskedFor) {
    const std::vector<std::string> digits = generate({"-l", " 1 2abc", "-n", "&H3", "--digits"});
    ASSERT_EQ(digits.size(), 3u);
    for (const std::string& password : digits) {
        EXPECT_EQ(password.size(), 12u);
        EXPECT_EQ(password.find_first_not_of(engine::DigitPool), std::string::npos) << password;
    }
    const std::string upperAndSymbols =
        std::string(engine::UpperCasePool) + std::string(engine::SymbolPool);
    const std::vector<std::string> mixed = generate({"--symbols", "-l", "200", "--upper"});
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_EQ(mixed[0].find_first_not_of(upperAndSymbols), std::string::npos) << mixed[0];
    EXPECT_NE(generate({"-l", "24"}), generate({"-l", "24"}));
    for (const std::string length : {"", "x"}) {
        const ChildOutcome refused =
            cli(length.empty() ? std::vector<std::string>{"generate"}
                               : std::vector<std::string>{"generate", "-l", length});
        EXPECT_TRUE(ended(refused, 1, printed(engine::refusalNotice(engine::Refusal::NoLength))));
        EXPECT_EQ(refused.out, "");
    }
}

} // namespace
} // namespace veskard::test
