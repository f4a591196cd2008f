#include "support/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace veskard::test {
namespace {

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return; // the child is gone or stopped reading; what it did shows in its outcome
        text.remove_prefix(static_cast<std::size_t>(count));
    }
}

// A pipe whose ends close themselves unless taken.
struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        read = ends[0];
        write = ends[1];
    }
    ~Pipe() {
        closeFd(read);
        closeFd(write);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    static int take(int& fd) { return std::exchange(fd, -1); }
};

} // namespace

class ChildProcess::Running {
public:
    Running(const std::vector<std::string>& argv, const Options& options) {
        // Writing to a child that already ended must fail, not kill the test.
        std::signal(SIGPIPE, SIG_IGN);
        Pipe in, out, err;

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in.read, 0);
        posix_spawn_file_actions_adddup2(&actions, out.write, 1);
        if (!options.workingDirectory.empty())
            posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory.c_str());
        std::string terminalName;
        if (options.terminal) {
            terminalName = openTerminal();
            // The first terminal a session leader opens becomes its controlling one.
            posix_spawn_file_actions_addopen(&actions, 2, terminalName.c_str(), O_RDWR, 0);
        } else {
            posix_spawn_file_actions_adddup2(&actions, err.write, 2);
        }
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        // A session of its own: no controlling terminal unless given one.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        const int spawned =
            ::posix_spawnp(&pid_, args[0], &actions, &attributes, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (spawned != 0) {
            pid_ = -1;
            closeFd(terminalFd_);
            throw std::runtime_error("cannot start " + argv[0]);
        }
        outFd_ = Pipe::take(out.read);
        errFd_ = options.terminal ? terminalFd_ : Pipe::take(err.read);
        closeFd(in.read);
        writeAll(in.write, options.input);
    }

    ~Running() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        closeFd(outFd_);
        closeFd(errFd_);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    void kill() { ::kill(pid_, SIGKILL); }

    void type(std::string_view text) {
        if (terminalFd_ < 0)
            throw std::logic_error("the child has no terminal to type on");
        writeAll(terminalFd_, text);
    }

    bool waitForOutput(std::string_view text, std::chrono::milliseconds timeout) {
        return waitFor(out_, text, timeout);
    }
    bool waitForError(std::string_view text, std::chrono::milliseconds timeout) {
        return waitFor(err_, text, timeout);
    }

    ChildOutcome finish(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        ChildOutcome outcome;
        while (outFd_ >= 0 || errFd_ >= 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                outcome.hung = true;
                break;
            }
            drainOnce(100);
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        if (WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            outcome.signal = WTERMSIG(status);
        outcome.out = std::move(out_);
        outcome.err = std::move(err_);
        return outcome;
    }

private:
    // Reads both outputs until `written`, one of them, shows `text`.
    bool waitFor(const std::string& written, std::string_view text,
                 std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (written.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline || !drainOnce(100))
                return written.find(text) != std::string::npos;
        }
        return true;
    }

    std::string openTerminal() {
        terminalFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128];
        if (terminalFd_ < 0 || ::grantpt(terminalFd_) != 0 || ::unlockpt(terminalFd_) != 0 ||
            ::ptsname_r(terminalFd_, name, sizeof name) != 0)
            throw std::runtime_error("no pseudo-terminal");
        return name;
    }

    // One wait for output; false once nothing is left open to read.
    bool drainOnce(int milliseconds) {
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        if (::poll(fds, 2, milliseconds) <= 0)
            return outFd_ >= 0 || errFd_ >= 0;
        readFrom(fds[0], outFd_, out_);
        readFrom(fds[1], errFd_, err_);
        return outFd_ >= 0 || errFd_ >= 0;
    }

    static void readFrom(const pollfd& polled, int& fd, std::string& into) {
        if (fd < 0 || polled.revents == 0)
            return;
        char buffer[4096];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0) {
            into.append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            // End of a pipe, or EIO from a terminal nobody holds any longer.
            closeFd(fd);
        }
    }

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    int terminalFd_ = -1; // the terminal's master side, when there is one; errFd_ then too
    std::string out_;
    std::string err_;
};

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
    : ChildProcess(argv, Options{}) {}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options)
    : running_(std::make_unique<Running>(argv, options)) {}

ChildProcess::~ChildProcess() = default;

void ChildProcess::kill() {
    running_->kill();
}

void ChildProcess::type(std::string_view text) {
    running_->type(text);
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
