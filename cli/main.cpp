#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Console.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace veskard::cli;
    const auto parsed = parseArguments({argv + 1, static_cast<std::size_t>(argc - 1)});
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
