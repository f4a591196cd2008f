#pragma once

#include "platform/windows/Win32.h"

#include <array>
#include <streambuf>
#include <string_view>

namespace veskard::cli {

// A stream buffer that writes UTF-8 text to a standard handle. A console
// shows it as the characters it stands for, whatever its code page
// (WriteConsoleW); a file or a pipe gets the bytes themselves, line ends
// untranslated, as on POSIX. Written out when full, flushed and destroyed.
class HandleOutput final : public std::streambuf {
public:
    explicit HandleOutput(HANDLE handle);
    ~HandleOutput() override;
    HandleOutput(const HandleOutput&) = delete;
    HandleOutput& operator=(const HandleOutput&) = delete;

protected:
    int_type overflow(int_type byte) override;
    int sync() override;

private:
    bool writeOut();
    bool writeToConsole(std::string_view text);
    bool writeToFile(std::string_view bytes);

    HANDLE handle_;
    bool console_;
    std::array<char, 4096> buffer_{};
};

} // namespace veskard::cli
