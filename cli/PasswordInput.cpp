#include "cli/PasswordInput.h"

#include "cli/CliError.h"
#include "cli/Console.h"
#include "cli/Utf8.h"

namespace veskard::cli {
namespace {

Result<std::u16string> decode(std::string_view line) {
    std::optional<std::u16string> password = utf8ToUtf16(line);
    if (!password)
        return CliError::PasswordNotUtf8;
    return std::move(*password);
}

} // namespace

Result<std::u16string> PasswordInput::readLine(std::string_view prompt) {
    if (!input_)
        return readHiddenLine(prompt);
    // No line at all (empty input) is the empty password, which locking refuses.
    std::string line;
    std::getline(*input_, line);
    // A file written on Windows ends its lines in CR LF.
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return decode(line);
}

Result<std::u16string> PasswordInput::readNew() {
    Result<std::u16string> password = readLine("密码：");
    if (!password || input_)
        return password;
    const Result<std::u16string> confirmation = readLine("确认密码：");
    if (!confirmation)
        return confirmation.error();
    if (*confirmation != *password)
        return CliError::PasswordMismatch;
    return password;
}

Result<std::u16string> PasswordInput::readExisting() {
    return readLine("密码：");
}

} // namespace veskard::cli
