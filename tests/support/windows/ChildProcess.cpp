#include "support/ChildProcess.h"

#include "platform/windows/Utf16.h"
#include "platform/windows/Win32.h"

#include <stdexcept>
#include <utility>

namespace veskard::test {
namespace {

// One argument as the C runtime and CommandLineToArgvW split it again:
// quoted when it is empty or holds white space or quotes, with the
// backslashes before a quote (or before the closing one) doubled.
std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        result.push_back(c);
        backslashes = 0;
    }
    result.append(2 * backslashes, L'\\');
    result.push_back(L'"');
    return result;
}

void closeHandle(HANDLE& handle) {
    if (handle)
        ::CloseHandle(handle);
    handle = nullptr;
}

// An anonymous pipe whose ends close themselves unless taken. Only the end
// the child gets is inherited.
struct Pipe {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    explicit Pipe(bool childReads) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        if (!::CreatePipe(&read, &write, &inheritable, 0))
            throw std::runtime_error("CreatePipe failed");
        ::SetHandleInformation(childReads ? write : read, HANDLE_FLAG_INHERIT, 0);
    }
    ~Pipe() {
        closeHandle(read);
        closeHandle(write);
    }
};

// What a killed child reports as its exit code, as ChildOutcome promises.
constexpr UINT killedExitCode = static_cast<UINT>(-1);

} // namespace

struct ChildProcess::Running {
    HANDLE process = nullptr;
    HANDLE pipes[2] = {nullptr, nullptr}; // standard output and error

    ~Running() {
        if (process) {
            ::TerminateProcess(process, killedExitCode);
            ::WaitForSingleObject(process, INFINITE);
            closeHandle(process);
        }
        closeHandle(pipes[0]);
        closeHandle(pipes[1]);
    }
};

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options)
    : running_(std::make_unique<Running>()) {
    if (options.terminal)
        throw std::runtime_error("a child on a terminal is a POSIX test only");
    Pipe in(true), out(false), err(false);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.read;
    startup.hStdOutput = out.write;
    startup.hStdError = err.write;
    std::wstring line;
    for (const std::string& argument : argv)
        line += (line.empty() ? L"" : L" ") + quoted(platform::win32::toUtf16(argument));
    PROCESS_INFORMATION started{};
    // No console: the child cannot ask anyone anything. The tests start
    // children from one thread, so no other child inherits these pipes.
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                          nullptr, &startup, &started))
        throw std::runtime_error("cannot start " + argv[0] + " (error " +
                                 std::to_string(::GetLastError()) + ")");
    ::CloseHandle(started.hThread);
    running_->process = started.hProcess;
    running_->pipes[0] = std::exchange(out.read, nullptr);
    running_->pipes[1] = std::exchange(err.read, nullptr);
    closeHandle(in.read);
    closeHandle(out.write);
    closeHandle(err.write);
    for (std::string_view bytes = options.input; !bytes.empty();) {
        DWORD count = 0;
        if (!::WriteFile(in.write, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr))
            break; // the child is gone or stopped reading; what it did shows in its outcome
        bytes.remove_prefix(count);
    }
}

ChildProcess::~ChildProcess() = default;

void ChildProcess::type(std::string_view) {
    throw std::logic_error("a child on a terminal is a POSIX test only");
}

// Anonymous pipes cannot be waited on: what they hold is looked at in turns,
// a moment apart while both are empty.
bool ChildProcess::drainOnce() {
    HANDLE* pipes = running_->pipes;
    bool read = false;
    for (int i = 0; i < 2; ++i) {
        DWORD available = 0;
        if (pipes[i] && !::PeekNamedPipe(pipes[i], nullptr, 0, nullptr, &available, nullptr))
            closeHandle(pipes[i]);
        char buffer[4096];
        DWORD count = 0;
        if (available > 0 && ::ReadFile(pipes[i], buffer, sizeof buffer, &count, nullptr)) {
            written_[i].append(buffer, count);
            read = true;
        }
    }
    if (!read)
        ::Sleep(10);
    return pipes[0] || pipes[1];
}

void ChildProcess::kill() {
    ::TerminateProcess(running_->process, killedExitCode);
}

void ChildProcess::reap(ChildOutcome& outcome) {
    ::WaitForSingleObject(running_->process, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(running_->process, &code);
    closeHandle(running_->process);
    outcome.exitCode = static_cast<int>(code);
}

} // namespace veskard::test
