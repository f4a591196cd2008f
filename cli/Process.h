#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace veskard::cli {

// The arguments after the program's name, in UTF-8 on every system. `argc`
// and `argv` are what main received; where the system keeps the command line
// in UTF-16 it is read from there instead, so that any file name survives.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// The standard streams, for UTF-8 text out and bytes in. Text written reaches
// a console as the characters it stands for, and a file or a pipe as the
// bytes themselves, with no line ends translated; standard input is read
// byte for byte, in UTF-8 when it is a console.
struct StandardStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

StandardStreams standardStreams();

} // namespace veskard::cli
