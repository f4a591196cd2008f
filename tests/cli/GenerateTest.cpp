#include "Cli.h"
#include "engine/PasswordGenerator.h"

#include <gtest/gtest.h>

#include <sstream>

namespace veskard::test {
namespace {

// The passwords a successful run printed, one a line.
std::vector<std::string> generate(std::vector<std::string> options) {
    options.insert(options.begin(), "generate");
    const ChildOutcome run = cli(options);
    EXPECT_TRUE(ended(run, 0));
    EXPECT_EQ(run.err, "");
    std::vector<std::string> lines;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(GenerateCommand, PrintsPasswordsOneALineAndRefusesWhatTheWindowRefuses) {
    const std::vector<std::string> digits = generate({"-l", "12", "-n", "5", "--digits"});
    ASSERT_EQ(digits.size(), 5u);
    for (const std::string& password : digits) {
        EXPECT_EQ(password.size(), 12u);
        EXPECT_EQ(password.find_first_not_of(engine::DigitPool), std::string::npos) << password;
    }
    const std::string upperAndSymbols =
        std::string(engine::UpperCasePool) + std::string(engine::SymbolPool);
    for (const std::string& password : generate({"--symbols", "-l", "200", "--upper"}))
        EXPECT_EQ(password.find_first_not_of(upperAndSymbols), std::string::npos) << password;

    // Numbers read as the window's boxes read them; what a box would not take
    // counts as not given.
    const std::vector<std::string> read = generate({"-l", " 1 2abc", "-n", "&H3"});
    EXPECT_EQ(read.size(), 3u);
    EXPECT_EQ(read.front().size(), 12u);
    EXPECT_EQ(generate({"-l", "8", "-n", "1001"}).size(), 1u);
    for (const std::vector<std::string>& noLength :
         {std::vector<std::string>{"generate"}, {"generate", "-l", "x"}}) {
        const ChildOutcome refused = cli(noLength);
        EXPECT_TRUE(ended(refused, 1));
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(refused.err, printed(engine::refusalNotice(engine::Refusal::NoLength)));
    }

    // A fresh program draws fresh passwords.
    EXPECT_NE(generate({"-l", "24"}), generate({"-l", "24"}));

    for (const std::vector<std::string>& misuse : {std::vector<std::string>{"generate", "-l"},
                                                   {"generate", "-l", "8", "--length"},
                                                   {"generate", "-l", "8", "extra"}}) {
        const ChildOutcome usage = cli(misuse);
        EXPECT_TRUE(ended(usage, 2));
        EXPECT_EQ(usage.out, "");
    }
}

} // namespace
} // namespace veskard::test
