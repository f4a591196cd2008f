#include "cli/Generate.h"

#include "engine/PasswordGenerator.h"
#include "texts/Texts.h"

#include <map>

namespace veskard::cli {
namespace {

// The class switches, each naming one member of engine::Classes.
const std::map<std::string_view, bool engine::Classes::*> classSwitches = {
    {"--lower", &engine::Classes::lowerCase},
    {"--upper", &engine::Classes::upperCase},
    {"--digits", &engine::Classes::digits},
    {"--symbols", &engine::Classes::symbols},
};

UsageError error(std::string message) {
    return {std::move(message)};
}

// What a number box holds once this text is typed into it: the text, or
// nothing when the box would not take it.
std::string asBoxHolds(const std::optional<std::string>& text) {
    return text && engine::isAccepted(*text) ? *text : std::string();
}

} // namespace

std::variant<Arguments, UsageError> parseGenerate(std::span<const std::string> words) {
    Arguments parsed;
    parsed.command = Command::Generate;
    GenerateOptions& options = parsed.generate;
    bool anyClass = false;
    engine::Classes named{false, false, false, false};
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "--help" || word == "-h") {
            Arguments help;
            help.command = Command::Help;
            return help;
        }
        if (const auto classSwitch = classSwitches.find(word); classSwitch != classSwitches.end()) {
            named.*(classSwitch->second) = true;
            anyClass = true;
        } else if (word == "-l" || word == "-n") {
            if (i + 1 == words.size())
                return error(texts::filled(texts::cli::numberMissing, word));
            (word == "-l" ? options.length : options.count) = words[++i];
        } else {
            return error(texts::filled(texts::cli::generateTakesNot, word));
        }
    }
    if (anyClass)
        options.classes = named;
    return parsed;
}

int generatePasswords(const GenerateOptions& options, Console console,
                      engine::RandomSource& random) {
    const engine::PasswordGenerator passwords(random);
    auto started =
        passwords.start(options.classes, asBoxHolds(options.length), asBoxHolds(options.count));
    if (const auto* refusal = std::get_if<engine::Refusal>(&started)) {
        console.err << engine::refusalNotice(*refusal).text << '\n';
        return ExitRefused;
    }
    engine::Generation& run = std::get<engine::Generation>(started);
    while (!run.finished())
        console.out << run.next() << '\n';
    console.out.flush();
    return ExitSuccess;
}

} // namespace veskard::cli
