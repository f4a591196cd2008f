#pragma once

#include "engine/Notice.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace veskard::engine {

// Where a failure happened, which decides how it is worded.
enum class JobPhase {
    Load,           // choosing the file to lock
    Encipher,       // locking it
    OpenEnciphered, // choosing the file to unlock
    Restore,        // unlocking it
    Action,         // anything else a window's action runs into
};

// What the user is told of a failure: a notice, or nothing when it is silent.
// `file` is the file the phase works on, for the texts that name it.
//
// A cancelled step is silent everywhere. An action's failure, and a chosen
// file that cannot be read, fall in three classes: a damaged or foreign record
// is explained, a refused path or file access is silent, anything else is
// described as the system words it.
std::optional<Notice> failureNotice(JobPhase phase, std::error_code cause,
                                    const std::filesystem::path& file = {});

} // namespace veskard::engine
