#pragma once

#include "support/ChildProcess.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace veskard::test {

// The command line under test, as the build made it.
inline const std::string CliProgram = VESKARD_CLI_PATH;

// Runs veskard-cli with `arguments`, giving it `input` on standard input.
inline ChildOutcome cli(std::vector<std::string> arguments, std::string input = {}) {
    arguments.insert(arguments.begin(), CliProgram);
    return runChild(arguments, ChildProcess::Options::withInput(std::move(input)));
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

// Shown when an expectation on a run fails.
inline std::ostream& operator<<(std::ostream& out, const ChildOutcome& outcome) {
    return out << "[exit " << outcome.exitCode << ", signal " << outcome.signal
               << "]\nstdout: " << outcome.out << "\nstderr: " << outcome.err;
}

} // namespace veskard::test
