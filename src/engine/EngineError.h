#pragma once

#include <system_error>

namespace veskard::engine {

// Refusals and failures of the engine's own. Their messages are in the
// user's language: a failure the jobs do not word themselves is shown as its
// description.
enum class EngineError {
    DamagedRecord = 1,     // not a record this program wrote, or a damaged one
    EmptyPassword,         // a password needs at least one character
    PasswordTooLong,       // a record holds at most 65535 password characters
    UnstorablePassword,    // a character the record's code page lacks would come back as "?"
    EmptyFile,             // nothing to split
    FileTooSmall,          // files of 100 bytes or fewer are not enciphered
    AlreadyEnciphered,     // the file holds a record already
    FileTooLarge,          // a piece would not fit the record's 32-bit counts
    UnexpectedEnd,         // a file ended before the bytes it was said to hold
    VerificationFailed,    // what was read back differs from what was written
    SourceChanged,         // the file changed since it was read
    HasOtherNames,         // a file with hard links is not rewritten in place
    NoTarget,              // no file to write was named
    NothingLoaded,         // a job step was called without the step that prepares it
    StrongPasswordTooLong, // a strong lock's password is at most 1 MiB of UTF-8
};

const std::error_category& engineCategory();

inline std::error_code make_error_code(EngineError error) {
    return {static_cast<int>(error), engineCategory()};
}

} // namespace veskard::engine

template <> struct std::is_error_code_enum<veskard::engine::EngineError> : std::true_type {};
