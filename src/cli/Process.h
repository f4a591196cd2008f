#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace veskard::cli {

// The arguments after the program's name, in UTF-8 on every system. `argc`
// and `argv` are what main received; where the system keeps the command line
// in UTF-16 it is read from there instead, so that any file name survives.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// The standard output streams, for UTF-8 text. Text written reaches a console
// as the characters it stands for, and a file or a pipe as the bytes
// themselves, with no line ends translated.
struct StandardStreams {
    std::ostream& out;
    std::ostream& err;
};

StandardStreams standardStreams();

// The first line of standard input, byte for byte (UTF-8 when typed on a
// Windows console), without its line end: up to "\n" or the end of the input.
// A read error is the system's; a line longer than `limit` bytes is `tooLong`.
Result<std::string> readStandardInputLine(std::size_t limit, std::error_code tooLong);

} // namespace veskard::cli
