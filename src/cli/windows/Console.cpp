#include "cli/Console.h"

#include "cli/CliError.h"
#include "platform/windows/Utf16.h"
#include "platform/windows/Win32.h"

#include <array>
#include <atomic>

namespace veskard::cli {
namespace {

using platform::win32::lastError;

// CONIN$ and CONOUT$ are the process's console even when its standard handles
// are redirected, as /dev/tty is on POSIX; a process without a console cannot
// open them.
class ConsoleHandle {
public:
    explicit ConsoleHandle(const wchar_t* name)
        : handle_(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr)) {}
    ~ConsoleHandle() {
        if (valid())
            ::CloseHandle(handle_);
    }
    ConsoleHandle(const ConsoleHandle&) = delete;
    ConsoleHandle& operator=(const ConsoleHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The mode belongs to the console, not to the process: a Ctrl+C or a closed
// window that ends the process while the password is typed must turn echo
// back on, or the shell that started it is left blind. The handler runs on a
// thread of its own and reaches the console through these.
std::atomic<HANDLE> echoConsole = nullptr;
DWORD echoSaved = 0;

BOOL WINAPI restoreEcho(DWORD) {
    if (const HANDLE console = echoConsole.load())
        ::SetConsoleMode(console, echoSaved);
    return FALSE; // the next handler, the system's, ends the process
}

class EchoOff {
public:
    explicit EchoOff(HANDLE input) {
        if (!::GetConsoleMode(input, &echoSaved)) {
            error_ = lastError();
            return;
        }
        echoConsole = input;
        ::SetConsoleCtrlHandler(restoreEcho, TRUE);
        // Line input stays on: the console still edits the line and hands it
        // over at Enter.
        if (!::SetConsoleMode(input, echoSaved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)))
            error_ = lastError();
    }
    ~EchoOff() {
        const HANDLE console = echoConsole.exchange(nullptr);
        if (!console)
            return;
        ::SetConsoleMode(console, echoSaved);
        ::SetConsoleCtrlHandler(restoreEcho, FALSE);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

    std::error_code error() const { return error_; }

private:
    std::error_code error_;
};

std::error_code writeAll(HANDLE console, std::string_view text) {
    const std::wstring wide = platform::win32::toUtf16(text);
    std::wstring_view rest = wide;
    while (!rest.empty()) {
        DWORD count = 0;
        if (!::WriteConsoleW(console, rest.data(), static_cast<DWORD>(rest.size()), &count,
                             nullptr))
            return lastError();
        rest.remove_prefix(count);
    }
    return {};
}

// Up to the line end; the console hands the line over in UTF-16, as typed.
Result<std::u16string> readLine(HANDLE console) {
    std::u16string line;
    std::array<wchar_t, 256> typed{};
    for (;;) {
        DWORD count = 0;
        if (!::ReadConsoleW(console, typed.data(), static_cast<DWORD>(typed.size()), &count,
                            nullptr))
            return lastError();
        line.append(typed.begin(), typed.begin() + count);
        if (count == 0 || line.ends_with(u'\n'))
            break;
    }
    while (!line.empty() && (line.back() == u'\n' || line.back() == u'\r'))
        line.pop_back();
    return line;
}

} // namespace

Result<std::u16string> readHiddenLine(std::string_view prompt) {
    const ConsoleHandle input(L"CONIN$");
    const ConsoleHandle output(L"CONOUT$");
    if (!input.valid() || !output.valid())
        return CliError::NoTerminal;
    Result<std::u16string> line = std::u16string();
    {
        const EchoOff echoOff(input.get());
        if (echoOff.error())
            return echoOff.error();
        if (const std::error_code error = writeAll(output.get(), prompt))
            return error;
        line = readLine(input.get());
    }
    // The Enter key was not echoed either; the next text starts on a new line.
    (void)writeAll(output.get(), "\r\n");
    return line;
}

bool standardErrorIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

} // namespace veskard::cli
