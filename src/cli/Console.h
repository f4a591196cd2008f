#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>

namespace veskard::cli {

// Shows `prompt` on the user's terminal (not on standard output or error, so
// that both may be redirected) and reads one line there without echoing it.
// The line end is not part of the result. Fails with CliError::NoTerminal
// when the process has no terminal, and with CliError::PasswordNotUtf8 when
// the terminal's bytes are not UTF-8 (a Windows console hands over UTF-16).
Result<std::u16string> readHiddenLine(std::string_view prompt);

// Whether standard error is a terminal a person watches.
bool standardErrorIsTerminal();

} // namespace veskard::cli
