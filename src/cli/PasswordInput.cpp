#include "cli/PasswordInput.h"

#include "cli/CliError.h"
#include "cli/Console.h"
#include "cli/Process.h"
#include "cli/Utf8.h"
#include "engine/EngineError.h"
#include "engine/RecordFormat.h"
#include "engine/StrongKeys.h"
#include "texts/Texts.h"

namespace veskard::cli {
namespace {

// No UTF-8 text of more bytes than this has 65535 UTF-16 units or fewer, the
// most a record holds; a longer line is not even read to its end. A strong
// lock's bound is in bytes itself. Either may be followed by a CR.
std::size_t longestLine(engine::LockKind kind) {
    return kind == engine::LockKind::Strong ? engine::LargestStrongPassword + 1
                                            : 3 * std::size_t{engine::MaximumPassCodes} + 1;
}

std::error_code tooLong(engine::LockKind kind) {
    return kind == engine::LockKind::Strong ? engine::EngineError::StrongPasswordTooLong
                                            : engine::EngineError::PasswordTooLong;
}

Result<std::u16string> decode(std::string_view line) {
    std::optional<std::u16string> password = utf8ToUtf16(line);
    if (!password)
        return CliError::PasswordNotUtf8;
    return std::move(*password);
}

} // namespace

Result<std::u16string> PasswordInput::readLine(std::string_view prompt, engine::LockKind kind) {
    if (source_ == Source::Terminal)
        return readHiddenLine(prompt);
    // No line at all (empty input) is the empty password, which locking refuses.
    Result<std::string> line = readStandardInputLine(longestLine(kind), tooLong(kind));
    if (!line)
        return line.error();
    // A file written on Windows ends its lines in CR LF.
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    return decode(*line);
}

Result<std::u16string> PasswordInput::readNew(engine::LockKind kind) {
    Result<std::u16string> password = readLine(texts::cli::passwordPrompt, kind);
    if (!password || source_ == Source::StandardInput)
        return password;
    const Result<std::u16string> confirmation = readLine(texts::cli::confirmPrompt, kind);
    if (!confirmation)
        return confirmation.error();
    if (*confirmation != *password)
        return CliError::PasswordMismatch;
    return password;
}

Result<std::u16string> PasswordInput::readExisting(engine::LockKind kind) {
    return readLine(texts::cli::passwordPrompt, kind);
}

} // namespace veskard::cli
