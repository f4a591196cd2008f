#pragma once

#include <system_error>

namespace veskard::cli {

// Refusals of the command line itself; their messages are what the user reads.
enum class CliError {
    PasswordMismatch = 1, // the confirmation differs from the password
    WrongPassword,        // the password does not open the file
    PasswordNotUtf8,      // the bytes given are not UTF-8 text
    NoTerminal,           // nowhere to ask for the password
};

const std::error_category& cliCategory();

inline std::error_code make_error_code(CliError error) {
    return {static_cast<int>(error), cliCategory()};
}

} // namespace veskard::cli

template <> struct std::is_error_code_enum<veskard::cli::CliError> : std::true_type {};
