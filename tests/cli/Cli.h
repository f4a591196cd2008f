#pragma once

#include "engine/Messages.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace veskard::test {

// The command line under test, as the build made it.
inline const std::string CliProgram = VESKARD_CLI_PATH;

// Runs veskard-cli with `arguments`, giving it `input` on standard input; one
// still running after `timeout` is killed.
inline ChildOutcome cli(std::vector<std::string> arguments, std::string input = {},
                        std::chrono::seconds timeout = std::chrono::seconds(120)) {
    arguments.insert(arguments.begin(), CliProgram);
    return ChildProcess(arguments, {.input = std::move(input)}).finish(timeout);
}

inline ChildOutcome lock(const std::filesystem::path& file, const std::string& password,
                         std::vector<std::string> more = {}) {
    more.insert(more.begin(), {"lock", utf8(file), "--password-stdin"});
    return cli(more, password + "\n");
}

inline ChildOutcome unlock(const std::filesystem::path& file, const std::string& password,
                           std::vector<std::string> more = {}) {
    more.insert(more.begin(), {"unlock", utf8(file), "--password-stdin"});
    return cli(more, password + "\n");
}

// What the program prints for a notice of the engine.
inline std::string printed(const engine::Notice& notice) {
    return notice.text + "\n";
}

// The system's description of an error in the language the children speak:
// the one their environment chooses, as the program's own main() does.
inline std::string systemText(int error) {
    static const bool localised = std::setlocale(LC_ALL, "") != nullptr;
    (void)localised;
    return std::strerror(error);
}

// Shown when an expectation on a run fails.
inline std::ostream& operator<<(std::ostream& out, const ChildOutcome& outcome) {
    return out << "[exit " << outcome.exitCode << ", signal " << outcome.signal
               << "]\nstdout: " << outcome.out << "\nstderr: " << outcome.err;
}

// Whether a run ended with `exitCode` and, when `err` is given, printed
// exactly that on standard error; the whole run is shown when not.
inline ::testing::AssertionResult ended(const ChildOutcome& run, int exitCode,
                                        const std::optional<std::string>& err = std::nullopt) {
    if (run.exitCode == exitCode && (!err || run.err == *err))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "wanted exit " << exitCode << (err ? ", stderr " + *err : "") << "\ngot " << run;
}

} // namespace veskard::test
