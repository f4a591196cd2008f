#include "cli/Process.h"

#include "cli/windows/HandleInput.h"
#include "cli/windows/HandleOutput.h"
#include "platform/windows/Utf16.h"

#include <shellapi.h>

namespace veskard::cli {
namespace {

// Frees what CommandLineToArgvW allocated.
struct LocalMemory {
    wchar_t** words;
    ~LocalMemory() { ::LocalFree(words); }
};

} // namespace

// main's argv holds the arguments in the ANSI code page, which turns most
// Chinese names into question marks; the UTF-16 command line has them all.
std::vector<std::string> commandLineArguments(int, char**) {
    int count = 0;
    const LocalMemory words{::CommandLineToArgvW(::GetCommandLineW(), &count)};
    std::vector<std::string> arguments;
    for (int i = 1; words.words && i < count; ++i)
        arguments.push_back(platform::win32::toUtf8(words.words[i]));
    return arguments;
}

// Standard error writes straight through, so that a refusal or the progress
// bar shows at once, as std::cerr would.
StandardStreams standardStreams() {
    static HandleInput inBuffer(::GetStdHandle(STD_INPUT_HANDLE));
    static HandleOutput outBuffer(::GetStdHandle(STD_OUTPUT_HANDLE));
    static HandleOutput errBuffer(::GetStdHandle(STD_ERROR_HANDLE));
    static std::istream in(&inBuffer);
    static std::ostream out(&outBuffer);
    static std::ostream err(&errBuffer);
    err.setf(std::ios::unitbuf);
    return {in, out, err};
}

} // namespace veskard::cli
