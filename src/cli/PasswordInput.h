#pragma once

#include "engine/LockKind.h"
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

    // A password to lock a file of `kind` with. On the terminal it is typed
    // twice, so that a slip of the finger cannot lock a file away.
    Result<std::u16string> readNew(engine::LockKind kind);
    // A password to unlock a file of `kind` with.
    Result<std::u16string> readExisting(engine::LockKind kind);

private:
    Result<std::u16string> readLine(std::string_view prompt, engine::LockKind kind);

    Source source_;
};

} // namespace veskard::cli
