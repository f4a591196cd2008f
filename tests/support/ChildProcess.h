#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace veskard::test {

// How a child process ended and what it wrote.
struct ChildOutcome {
    int exitCode = -1; // -1 when a signal ended it
    int signal = 0;
    std::string out;
    // Standard error; for a child on a terminal, everything the terminal showed.
    std::string err;
};

// A real program run as a child process, in a session of its own, with pipes
// for its standard input, output and error. A child started with a terminal
// gets a pseudo-terminal as its controlling terminal and standard error, so a
// test can type on it like a person. The destructor kills and reaps a child
// still running, so a failed assertion never leaves one behind.
class ChildProcess {
public:
    struct Options {
        std::string input;            // written to standard input, which is then closed
        bool terminal = false;        // standard error and /dev/tty are a pseudo-terminal
        std::string workingDirectory; // the child's current folder; the test's when empty

        static Options withInput(std::string text) {
            Options options;
            options.input = std::move(text);
            return options;
        }
        static Options onTerminal() {
            Options options;
            options.terminal = true;
            return options;
        }
        Options& inFolder(std::string folder) {
            workingDirectory = std::move(folder);
            return *this;
        }
    };

    explicit ChildProcess(const std::vector<std::string>& argv)
        : ChildProcess(argv, Options{}) {}
    ChildProcess(const std::vector<std::string>& argv, const Options& options) {
        // Writing to a child that already ended must fail, not kill the test.
        std::signal(SIGPIPE, SIG_IGN);
        int in[2], out[2], err[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
            ::pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        if (!options.workingDirectory.empty())
            posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory.c_str());
        std::string terminalName;
        if (options.terminal) {
            terminalName = openTerminal();
            // The first terminal a session leader opens becomes its controlling one.
            posix_spawn_file_actions_addopen(&actions, 2, terminalName.c_str(), O_RDWR, 0);
        } else {
            posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        }
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        // A session of its own: no controlling terminal unless given one, so a
        // child asking for a password can never reach the terminal of whoever runs the tests.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        const int spawned =
            ::posix_spawnp(&pid_, args[0], &actions, &attributes, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        ::close(in[0]);
        ::close(out[1]);
        ::close(err[1]);
        outFd_ = out[0];
        errFd_ = options.terminal ? (::close(err[0]), terminalFd_) : err[0];
        if (spawned != 0) {
            ::close(in[1]);
            pid_ = -1;
            throw std::runtime_error("cannot start " + argv[0]);
        }
        writeAll(in[1], options.input);
        ::close(in[1]);
    }

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    ~ChildProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        closeFd(outFd_);
        closeFd(errFd_);
    }

    pid_t pid() const { return pid_; }
    void kill(int signal) { ::kill(pid_, signal); }

    // Types on the child's terminal.
    void type(std::string_view text) { writeAll(terminalFd_, text); }

    // Waits until the terminal has shown `text`; false when it did not within the time.
    bool waitForTerminal(std::string_view text,
                         std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (err_.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline || !drainOnce(100))
                return err_.find(text) != std::string::npos;
        }
        return true;
    }

    // Reads all the child writes until it closes its output, then reaps it.
    // A child still running after `timeout` is killed.
    ChildOutcome finish(std::chrono::milliseconds timeout = std::chrono::seconds(120)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (outFd_ >= 0 || errFd_ >= 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                break;
            }
            drainOnce(100);
        }
        ChildOutcome outcome;
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
    std::string openTerminal() {
        terminalFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128];
        if (terminalFd_ < 0 || ::grantpt(terminalFd_) != 0 || ::unlockpt(terminalFd_) != 0 ||
            ::ptsname_r(terminalFd_, name, sizeof name) != 0)
            throw std::runtime_error("no pseudo-terminal");
        return name;
    }

    static void writeAll(int fd, std::string_view text) {
        while (!text.empty()) {
            const ssize_t count = ::write(fd, text.data(), text.size());
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                return; // the child is gone or stopped reading; what it did shows in its outcome
            text.remove_prefix(static_cast<std::size_t>(count));
        }
    }

    static void closeFd(int& fd) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
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

// Runs a program to its end.
inline ChildOutcome runChild(const std::vector<std::string>& argv,
                             const ChildProcess::Options& options = {}) {
    ChildProcess child(argv, options);
    return child.finish();
}

} // namespace veskard::test
