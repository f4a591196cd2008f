#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>

namespace veskard::cli {

// Where the password comes from: typed on the terminal without echo, or the
// first line of standard input (UTF-8 on every system) for scripts. A failure
// to read it is the system's error, never a wrong password.
class PasswordInput {
public:
    enum class Source { Terminal, StandardInput };

    explicit PasswordInput(Source source)
        : source_(source) {}

    // A password to lock with. On the terminal it is typed twice, so that a
    // slip of the finger cannot lock a file away.
    Result<std::u16string> readNew();
    // A password to unlock with.
    Result<std::u16string> readExisting();

private:
    Result<std::u16string> readLine(std::string_view prompt);

    Source source_;
};

} // namespace veskard::cli
