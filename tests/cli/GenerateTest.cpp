#include "Cli.h"
#include "engine/PasswordGenerator.h"

namespace veskard::test {
namespace {

// How the numbers read, the engine's tests check; here, that the switches
// reach it, and what the command line alone shows.
TEST(GenerateCommand, PrintsFreshPasswordsOneALineOfTheClassesAskedFor) {
    const ChildOutcome digits = cli({"generate", "-l", " 1 2abc", "-n", "&H3", "--digits"});
    EXPECT_TRUE(ended(digits, 0, ""));
    EXPECT_TRUE(std::regex_match(digits.out, std::regex("([0-9]{12}\n){3}"))) << digits.out;
    const ChildOutcome mixed = cli({"generate", "--symbols", "-l", "200", "--upper"});
    EXPECT_EQ(mixed.out.size(), 201u);
    EXPECT_EQ(mixed.out.find_first_not_of(std::string(engine::UpperCasePool) +
                                          std::string(engine::SymbolPool) + "\n"),
              std::string::npos)
        << mixed.out;
    EXPECT_NE(cli({"generate", "-l", "24"}).out, cli({"generate", "-l", "24"}).out);
    for (const std::vector<std::string>& refused :
         {std::vector<std::string>{"generate"}, {"generate", "-l", "x"}})
        EXPECT_TRUE(
            ended(cli(refused), 1, printed(engine::refusalNotice(engine::Refusal::NoLength))));
}

} // namespace
} // namespace veskard::test
