// HoldFile WAY FILE: another program that holds FILE open the named way (see
// support/FileHold.h), writes one byte on standard output once it does, and
// keeps it until it is killed.
#include "cli/Process.h"
#include "support/FileHold.h"

#include <chrono>
#include <iostream>
#include <thread>

int main(int argc, char** argv) {
    // The command line's own reading of arguments: UTF-8 file names on every system.
    const std::vector<std::string> arguments = veskard::cli::commandLineArguments(argc, argv);
    if (arguments.size() != 2) {
        std::cerr << "usage: HoldFile WAY FILE\n";
        return 2;
    }
    const std::string& file = arguments[1];
    if (const std::error_code error =
            veskard::test::holdFile(std::u8string(file.begin(), file.end()), arguments[0])) {
        std::cerr << "HoldFile: cannot hold " << file << " as " << arguments[0] << ": "
                  << error.message() << '\n';
        return 1;
    }
    std::cout << '+' << std::flush;
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}
