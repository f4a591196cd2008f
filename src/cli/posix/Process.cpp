#include "cli/Process.h"

#include <array>
#include <cerrno>
#include <iostream>
#include <unistd.h>

// Arguments and terminals carry the bytes they were given; text is taken to
// be UTF-8, as the locale says on any current system.
namespace veskard::cli {

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    // argv[0] is the program's own name, when the caller gave one at all.
    if (argc <= 1)
        return {};
    return {argv + 1, argv + argc};
}

StandardStreams standardStreams() {
    return {std::cout, std::cerr};
}

Result<std::string> readStandardInputLine(std::size_t limit, std::error_code tooLong) {
    std::string line;
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::error_code(errno, std::generic_category());
        const std::string_view read(buffer.data(), static_cast<std::size_t>(count));
        const std::size_t end = read.find('\n');
        line += read.substr(0, end);
        if (line.size() > limit)
            return tooLong;
        if (count == 0 || end != std::string_view::npos)
            return line;
    }
}

} // namespace veskard::cli
