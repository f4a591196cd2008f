#include "support/ChildProcess.h"

#include "platform/windows/Utf16.h"
#include "platform/windows/Win32.h"

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
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

std::wstring commandLine(const std::vector<std::string>& argv) {
    std::wstring line;
    for (const std::string& argument : argv) {
        if (!line.empty())
            line.push_back(L' ');
        line += quoted(platform::win32::toUtf16(argument));
    }
    return line;
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
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
};

// What a killed child reports as its exit code, as ChildOutcome promises.
constexpr UINT killedExitCode = static_cast<UINT>(-1);

} // namespace

// Anonymous pipes cannot be waited on together, so each of the child's two
// outputs has a thread that reads it to its end.
class ChildProcess::Running {
public:
    Running(const std::vector<std::string>& argv, const Options& options) {
        if (options.terminal)
            throw std::runtime_error("a child on a terminal is a POSIX test only");
        Pipe in(true), out(false), err(false);

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.read;
        startup.hStdOutput = out.write;
        startup.hStdError = err.write;
        std::wstring line = commandLine(argv);
        const std::wstring folder = platform::win32::toUtf16(options.workingDirectory);
        PROCESS_INFORMATION started{};
        // No console: the child cannot ask anyone anything. The tests start
        // children from one thread, so no other child inherits these pipes.
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                              nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                              &started))
            throw std::runtime_error("cannot start " + argv[0] + " (error " +
                                     std::to_string(::GetLastError()) + ")");
        ::CloseHandle(started.hThread);
        process_ = started.hProcess;
        closeHandle(in.read);
        closeHandle(out.write);
        closeHandle(err.write);
        out_.reader = std::thread(&Running::readToEnd, this, std::exchange(out.read, nullptr),
                                  std::ref(out_));
        err_.reader = std::thread(&Running::readToEnd, this, std::exchange(err.read, nullptr),
                                  std::ref(err_));
        writeAll(in.write, options.input);
    }

    ~Running() {
        if (process_) {
            ::TerminateProcess(process_, killedExitCode);
            ::WaitForSingleObject(process_, INFINITE);
            closeHandle(process_);
        }
        joinReaders();
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    void kill() { ::TerminateProcess(process_, killedExitCode); }

    bool waitForOutput(std::string_view text, std::chrono::milliseconds timeout) {
        return waitFor(out_, text, timeout);
    }
    bool waitForError(std::string_view text, std::chrono::milliseconds timeout) {
        return waitFor(err_, text, timeout);
    }

    ChildOutcome finish(std::chrono::milliseconds timeout) {
        const bool hung =
            ::WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0;
        if (hung)
            ::TerminateProcess(process_, killedExitCode);
        ::WaitForSingleObject(process_, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(process_, &code);
        closeHandle(process_);
        joinReaders();
        ChildOutcome outcome;
        outcome.hung = hung;
        outcome.exitCode = static_cast<int>(code);
        outcome.out = std::move(out_.written);
        outcome.err = std::move(err_.written);
        return outcome;
    }

private:
    struct Stream {
        std::string written;
        bool open = true;
        std::thread reader;
    };

    bool waitFor(Stream& stream, std::string_view text, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, timeout, [&] {
            return stream.written.find(text) != std::string::npos || !stream.open;
        });
        return stream.written.find(text) != std::string::npos;
    }

    static void writeAll(HANDLE pipe, std::string_view bytes) {
        while (!bytes.empty()) {
            DWORD count = 0;
            if (!::WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr))
                return; // the child is gone or stopped reading; what it did shows in its outcome
            bytes.remove_prefix(count);
        }
    }

    // Until the child and everything it started close their end.
    void readToEnd(HANDLE pipe, Stream& stream) {
        char buffer[4096];
        DWORD count = 0;
        while (::ReadFile(pipe, buffer, sizeof buffer, &count, nullptr) && count > 0) {
            const std::lock_guard lock(mutex_);
            stream.written.append(buffer, count);
            changed_.notify_all();
        }
        ::CloseHandle(pipe);
        const std::lock_guard lock(mutex_);
        stream.open = false;
        changed_.notify_all();
    }

    void joinReaders() {
        for (Stream* stream : {&out_, &err_})
            if (stream->reader.joinable())
                stream->reader.join();
    }

    HANDLE process_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    Stream out_;
    Stream err_;
};

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
    : ChildProcess(argv, Options{}) {}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options)
    : running_(std::make_unique<Running>(argv, options)) {}

ChildProcess::~ChildProcess() = default;

void ChildProcess::kill() {
    running_->kill();
}

void ChildProcess::type(std::string_view) {
    throw std::logic_error("a child on a terminal is a POSIX test only");
}

bool ChildProcess::waitForOutput(std::string_view text, std::chrono::milliseconds timeout) {
    return running_->waitForOutput(text, timeout);
}

bool ChildProcess::waitForError(std::string_view text, std::chrono::milliseconds timeout) {
    return running_->waitForError(text, timeout);
}

ChildOutcome ChildProcess::finish(std::chrono::milliseconds timeout) {
    return running_->finish(timeout);
}

} // namespace veskard::test
