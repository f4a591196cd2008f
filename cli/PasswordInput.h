#pragma once

#include "platform/Result.h"

#include <istream>
#include <string>
#include <string_view>

namespace veskard::cli {

// Where the password comes from: typed on the terminal without echo, or the
// first line of standard input (UTF-8 on every system) for scripts.
class PasswordInput {
public:
    // Reads from the terminal.
    PasswordInput() = default;
    // Reads the first line of `input`.
    explicit PasswordInput(std::istream& input)
        : input_(&input) {}

    // A password to lock with. On the terminal it is typed twice, so that a
    // slip of the finger cannot lock a file away.
    Result<std::u16string> readNew();
    // A password to unlock with.
    Result<std::u16string> readExisting();

private:
    Result<std::u16string> readLine(std::string_view prompt);

    std::istream* input_ = nullptr;
};

} // namespace veskard::cli
