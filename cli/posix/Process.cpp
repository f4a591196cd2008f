#include "cli/Process.h"

#include <iostream>

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
    return {std::cin, std::cout, std::cerr};
}

} // namespace veskard::cli
