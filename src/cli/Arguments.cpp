#include "cli/Arguments.h"

#include "cli/Generate.h"
#include "texts/Texts.h"

#include <map>

namespace veskard::cli {
namespace {

const std::map<std::string_view, Command> commandNames = {
    {"lock", Command::Lock},
    {"unlock", Command::Unlock},
    {"info", Command::Info},
};

UsageError error(std::string message) {
    return {std::move(message)};
}

Arguments only(Command command) {
    Arguments arguments;
    arguments.command = command;
    return arguments;
}

// Arguments are UTF-8 on every system; a path made from plain chars would be
// read in the ANSI code page on Windows, where most Chinese names cannot be.
std::filesystem::path pathOf(std::string_view word) {
    return std::u8string(word.begin(), word.end());
}

bool writes(Command command) {
    return command == Command::Lock || command == Command::Unlock;
}

// Parses what follows the command word.
std::variant<Arguments, UsageError> parseCommand(Command command,
                                                 std::span<const std::string> rest) {
    Arguments parsed;
    parsed.command = command;
    std::optional<std::filesystem::path> file;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const std::string_view word = rest[i];
        const bool isOption = !optionsEnded && word.size() > 1 && word.front() == '-';
        if (!isOption) {
            if (file)
                return error(texts::filled(texts::cli::onlyOneFile, word));
            file = pathOf(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "-h") {
            return only(Command::Help);
        } else if (!writes(command)) {
            return error(texts::filled(texts::cli::infoTakesNoOption, word));
        } else if (word == "-o" || word == "--output") {
            if (i + 1 == rest.size())
                return error(texts::filled(texts::cli::outputMissing, word));
            parsed.output = pathOf(rest[++i]);
        } else if (word == "--force") {
            parsed.force = true;
        } else if (word == "--strong" && command == Command::Lock) {
            parsed.strong = true;
        } else if (word == "--password-stdin") {
            parsed.passwordFromStandardInput = true;
        } else {
            return error(texts::filled(texts::cli::unknownOption, word));
        }
    }
    if (!file)
        return error(texts::cli::fileMissing);
    if (file->empty() || (parsed.output && parsed.output->empty()))
        return error(texts::cli::emptyFileName);
    parsed.file = std::move(*file);
    return parsed;
}

} // namespace

std::variant<Arguments, UsageError> parseArguments(std::span<const std::string> arguments) {
    if (arguments.empty())
        return error(texts::cli::commandMissing);
    const std::string_view first = arguments.front();
    if (first == "--help" || first == "-h" || first == "--version") {
        if (arguments.size() != 1)
            return error(texts::filled(texts::cli::nothingMayFollow, first));
        return only(first == "--version" ? Command::Version : Command::Help);
    }
    if (first == "generate")
        return parseGenerate(arguments.subspan(1));
    const auto command = commandNames.find(first);
    if (command == commandNames.end())
        return error(texts::filled(texts::cli::unknownCommand, first));
    return parseCommand(command->second, arguments.subspan(1));
}

std::string_view helpText() {
    return texts::cli::help;
}

std::string_view usageLine() {
    return texts::cli::usage;
}

} // namespace veskard::cli
