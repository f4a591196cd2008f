#pragma once

#include "platform/windows/Win32.h"

#include <array>
#include <streambuf>
#include <string>

namespace veskard::cli {

// A stream buffer that reads a standard handle. A file or a pipe gives its
// bytes unchanged: no CR dropped, no stop at Ctrl+Z as in the C runtime's
// text mode. What is typed on a console arrives as UTF-8, whatever the
// console's code page (ReadConsoleW).
class HandleInput final : public std::streambuf {
public:
    explicit HandleInput(HANDLE handle);
    HandleInput(const HandleInput&) = delete;
    HandleInput& operator=(const HandleInput&) = delete;

protected:
    int_type underflow() override;

private:
    bool readFromConsole();
    bool readFromFile();

    HANDLE handle_;
    bool console_;
    std::string buffer_;
};

} // namespace veskard::cli
