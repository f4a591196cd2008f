#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Process.h"
#include "engine/RandomSource.h"

#include <clocale>

int main(int argc, char** argv) {
    using namespace veskard::cli;
    // The system's descriptions of failures in the user's language.
    std::setlocale(LC_ALL, "");
    const StandardStreams streams = standardStreams();
    const auto parsed = parseArguments(commandLineArguments(argc, argv));
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        streams.err << "veskard-cli: " << usage->message << '\n' << usageLine();
        return ExitUsage;
    }
    const Arguments& arguments = std::get<Arguments>(parsed);
    PasswordInput passwords(arguments.passwordFromStandardInput
                                ? PasswordInput::Source::StandardInput
                                : PasswordInput::Source::Terminal);
    veskard::engine::SystemRandom random;
    Commands commands({streams.out, streams.err, standardErrorIsTerminal()}, passwords, random);
    return commands.run(arguments);
}
