#pragma once

#include "cli/Arguments.h"
#include "cli/PasswordInput.h"
#include "engine/JobStatus.h"
#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "platform/Clock.h"

#include <ostream>
#include <system_error>

namespace veskard::cli {

// Where a command reports: results on `out`, refusals, warnings and progress on `err`.
struct Console {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
};

// Exit statuses, for scripts.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitRefused = 1;
inline constexpr int ExitUsage = 2;

// Runs one parsed command line against the engine and returns the exit status.
// Every refusal leaves the file (and OUT) as it was.
class Commands {
public:
    Commands(Console console, PasswordInput& passwords, engine::RandomSource& random)
        : console_(console)
        , passwords_(passwords)
        , random_(random) {}

    int run(const Arguments& arguments);

private:
    int lock(const Arguments& arguments);
    int unlock(const Arguments& arguments);
    int info(const Arguments& arguments);

    // The file a command writes, or nothing when it must not be written.
    std::optional<std::filesystem::path> writableTarget(const Arguments& arguments);
    // A success's warnings, and what a failure is told with.
    int finish(const engine::JobStatus& status);
    int refuse(std::error_code error);

    Console console_;
    PasswordInput& passwords_;
    engine::RandomSource& random_;
    const platform::SystemClock clock_;
    const engine::LocaleTextFormats formats_;
};

} // namespace veskard::cli
