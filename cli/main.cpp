#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Console.h"

#include <iostream>
#include <span>

int main(int argc, char** argv) {
    using namespace veskard::cli;
    // argv[0] is the program's own name, when the caller gave one at all.
    const std::span<const char* const> words(argv, static_cast<std::size_t>(argc));
    const auto parsed = parseArguments(words.empty() ? words : words.subspan(1));
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        std::cerr << "veskard-cli: " << usage->message << '\n' << usageLine();
        return ExitUsage;
    }
    const Arguments& arguments = std::get<Arguments>(parsed);
    PasswordInput passwords =
        arguments.passwordFromStandardInput ? PasswordInput(std::cin) : PasswordInput();
    Commands commands({std::cout, std::cerr, standardErrorIsTerminal()}, passwords);
    return commands.run(arguments);
}
