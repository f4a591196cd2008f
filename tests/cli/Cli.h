#pragma once

#include "engine/Messages.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <optional>
#include <ostream>
#include <regex>

namespace veskard::test {

inline const std::string CliProgram = VESKARD_CLI_PATH;

inline ChildOutcome cli(std::vector<std::string> arguments, std::string input = {},
                        std::chrono::seconds timeout = std::chrono::seconds(120)) {
    arguments.insert(arguments.begin(), CliProgram);
    return ChildProcess(arguments, {.input = std::move(input)}).finish(timeout);
}

// `command` ("lock" or "unlock") on `file`, the password given on standard input.
inline ChildOutcome run(const std::string& command, const std::filesystem::path& file,
                        const std::string& password, std::vector<std::string> more = {}) {
    more.insert(more.begin(), {command, utf8(file), "--password-stdin"});
    return cli(more, password + "\n");
}
inline std::string printed(const engine::Notice& notice) {
    return notice.text + "\n";
}

// The system's words for an error in the children's language, which their
// environment chooses, as the program's main() does.
inline std::string systemText(int error) {
    [[maybe_unused]] static const char* const localised = std::setlocale(LC_ALL, "");
    return std::strerror(error);
}

inline std::ostream& operator<<(std::ostream& out, const ChildOutcome& outcome) {
    return out << "[exit " << outcome.exitCode << ", signal " << outcome.signal
               << "]\nstdout: " << outcome.out << "\nstderr: " << outcome.err;
}

// Whether a run ended with `exitCode` and, when given, printed exactly `err`.
inline ::testing::AssertionResult ended(const ChildOutcome& run, int exitCode,
                                        const std::optional<std::string>& err = std::nullopt) {
    if (run.exitCode == exitCode && (!err || run.err == *err))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "wanted exit " << exitCode << (err ? ", stderr " + *err : "") << "\ngot " << run;
}

// The temporary files a job left in `folder`: hidden names ending in ".tmp".
inline std::vector<std::filesystem::path> temporaryFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    for (const auto& name : TempFolder::namesIn(folder))
        if (utf8(name).starts_with(".") && utf8(name).ends_with(".tmp"))
            found.push_back(folder / name);
    return found;
}

} // namespace veskard::test
