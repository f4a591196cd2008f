#include "cli/PasswordInput.h"

#include "cli/CliError.h"
#include "cli/Console.h"
#include "cli/Process.h"
#include "cli/Utf8.h"
#include "engine/EngineError.h"
#include "engine/RecordFormat.h"
#include "texts/Texts.h"

namespace veskard::cli {
namespace {

// No UTF-8 text of more bytes than this (and a CR) has 65535 UTF-16 units or
// fewer, the most a record holds; a longer line is not even read to its end.
constexpr std::size_t LongestLine = 3 * std::size_t{engine::MaximumPassCodes} + 1;

Result<std::u16string> decode(std::string_view line) {
    std::optional<std::u16string> password = utf8ToUtf16(line);
    if (!password)
        return CliError::PasswordNotUtf8;
    return std::move(*password);
}

} // namespace

Result<std::u16string> PasswordInput::readLine(std::string_view prompt) {
    if (source_ == Source::Terminal)
        return readHiddenLine(prompt);
    // No line at all (empty input) is the empty password, which locking refuses.
    Result<std::string> line =
        readStandardInputLine(LongestLine, make_error_code(engine::EngineError::PasswordTooLong));
    if (!line)
        return line.error();
    // A file written on Windows ends its lines in CR LF.
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    return decode(*line);
}

Result<std::u16string> PasswordInput::readNew() {
    Result<std::u16string> password = readLine(texts::cli::passwordPrompt);
    if (!password || source_ == Source::StandardInput)
        return password;
    const Result<std::u16string> confirmation = readLine(texts::cli::confirmPrompt);
    if (!confirmation)
        return confirmation.error();
    if (*confirmation != *password)
        return CliError::PasswordMismatch;
    return password;
}

Result<std::u16string> PasswordInput::readExisting() {
    return readLine(texts::cli::passwordPrompt);
}

} // namespace veskard::cli
