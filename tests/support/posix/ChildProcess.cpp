#include "support/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

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

// The ends of a pipe, each closed unless taken.
struct Pipe {
    int ends[2] = {-1, -1};
    Pipe() {
        if (::pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
    }
    ~Pipe() {
        closeFd(ends[0]);
        closeFd(ends[1]);
    }
};

} // namespace

struct ChildProcess::Running {
    pid_t pid = -1;
    int fds[2] = {-1, -1}; // standard output; standard error, or the terminal's master side

    ~Running() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        closeFd(fds[0]);
        closeFd(fds[1]);
    }
};

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options)
    : running_(std::make_unique<Running>()) {
    // Writing to a child that already ended must fail, not kill the test.
    std::signal(SIGPIPE, SIG_IGN);
    Pipe in, out, err;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    // A session of its own, whose controlling terminal is the pseudo-terminal if it has one.
    int& master = running_->fds[1];
    pid_t& pid = running_->pid;
    pid = options.terminal ? ::forkpty(&master, nullptr, nullptr, nullptr) : ::fork();
    if (pid == 0) {
        if (!options.terminal && (::setsid() < 0 || ::dup2(err.ends[1], 2) < 0))
            ::_exit(127);
        if (::dup2(in.ends[0], 0) == 0 && ::dup2(out.ends[1], 1) == 1)
            ::execvp(args[0], args.data());
        ::_exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("cannot start " + argv[0]);
    if (!options.terminal)
        master = std::exchange(err.ends[0], -1);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    running_->fds[0] = std::exchange(out.ends[0], -1);
    closeFd(in.ends[0]);
    writeAll(in.ends[1], options.input);
}

ChildProcess::~ChildProcess() = default;

void ChildProcess::type(std::string_view text) {
    writeAll(running_->fds[1], text);
}

bool ChildProcess::drainOnce() {
    int* fds = running_->fds;
    pollfd polled[2] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}};
    if (::poll(polled, 2, 100) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i] < 0 || polled[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t count = ::read(fds[i], buffer, sizeof buffer);
            if (count > 0)
                written_[i].append(buffer, static_cast<std::size_t>(count));
            else if (count == 0 || errno != EINTR)
                closeFd(fds[i]); // end of a pipe, or EIO from a terminal nobody holds
        }
    }
    return fds[0] >= 0 || fds[1] >= 0;
}

void ChildProcess::reap(ChildOutcome& outcome) {
    if (outcome.hung)
        ::kill(running_->pid, SIGKILL);
    int status = 0;
    ::waitpid(std::exchange(running_->pid, -1), &status, 0);
    if (WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        outcome.signal = WTERMSIG(status);
}

} // namespace veskard::test
