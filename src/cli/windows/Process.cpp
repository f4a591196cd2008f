#include "cli/Process.h"

#include "cli/windows/HandleOutput.h"
#include "platform/windows/Utf16.h"

#include <algorithm>
#include <array>
#include <shellapi.h>

namespace veskard::cli {
namespace {

// Frees what CommandLineToArgvW allocated.
struct LocalMemory {
    wchar_t** words;
    ~LocalMemory() { ::LocalFree(words); }
};

// What a console hands over once Enter is pressed, as UTF-8, or false at its end.
Result<bool> readConsole(HANDLE console, std::string& into) {
    std::array<wchar_t, 1024> typed{};
    DWORD count = 0;
    if (!::ReadConsoleW(console, typed.data(), static_cast<DWORD>(typed.size()), &count, nullptr))
        return platform::win32::lastError();
    into += platform::win32::toUtf8({typed.data(), count});
    return count > 0;
}

// A file's or a pipe's bytes unchanged: no CR dropped, no stop at Ctrl+Z as
// in the C runtime's text mode. A pipe whose writer has gone has ended.
Result<bool> readFile(HANDLE file, std::string& into) {
    std::array<char, 4096> buffer{};
    DWORD count = 0;
    if (!::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &count, nullptr)) {
        if (::GetLastError() == ERROR_BROKEN_PIPE)
            return false;
        return platform::win32::lastError();
    }
    into.append(buffer.data(), count);
    return count > 0;
}

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
    static HandleOutput outBuffer(::GetStdHandle(STD_OUTPUT_HANDLE));
    static HandleOutput errBuffer(::GetStdHandle(STD_ERROR_HANDLE));
    static std::ostream out(&outBuffer);
    static std::ostream err(&errBuffer);
    err.setf(std::ios::unitbuf);
    return {out, err};
}

Result<std::string> readStandardInputLine(std::size_t limit, std::error_code tooLong) {
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = ::GetConsoleMode(input, &mode) != 0;
    std::string read;
    for (;;) {
        const Result<bool> more = console ? readConsole(input, read) : readFile(input, read);
        if (!more)
            return more.error();
        const std::size_t end = read.find('\n');
        if (std::min(end, read.size()) > limit)
            return tooLong;
        if (end != std::string::npos)
            return read.substr(0, end);
        if (!*more)
            return read;
    }
}

} // namespace veskard::cli
