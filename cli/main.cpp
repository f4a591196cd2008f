#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Process.h"

int main(int argc, char** argv) {
    using namespace veskard::cli;
    const StandardStreams streams = standardStreams();
    const auto parsed = parseArguments(commandLineArguments(argc, argv));
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        streams.err << "veskard-cli: " << usage->message << '\n' << usageLine();
        return ExitUsage;
    }
    const Arguments& arguments = std::get<Arguments>(parsed);
    PasswordInput passwords =
        arguments.passwordFromStandardInput ? PasswordInput(streams.in) : PasswordInput();
    Commands commands({streams.out, streams.err, standardErrorIsTerminal()}, passwords);
    return commands.run(arguments);
}
