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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.ends[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.ends[1], 1);
    char terminal[128];
    if (options.terminal) {
        int& master = running_->fds[1];
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
            ::ptsname_r(master, terminal, sizeof terminal) != 0)
            throw std::runtime_error("no pseudo-terminal");
        // The first terminal a session leader opens becomes its controlling one.
        posix_spawn_file_actions_addopen(&actions, 2, terminal, O_RDWR, 0);
    } else {
        posix_spawn_file_actions_adddup2(&actions, err.ends[1], 2);
        running_->fds[1] = std::exchange(err.ends[0], -1);
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
        ::posix_spawnp(&running_->pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        running_->pid = -1;
        throw std::runtime_error("cannot start " + argv[0]);
    }
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

void ChildProcess::kill() {
    ::kill(running_->pid, SIGKILL);
}

void ChildProcess::reap(ChildOutcome& outcome) {
    int status = 0;
    ::waitpid(std::exchange(running_->pid, -1), &status, 0);
    if (WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        outcome.signal = WTERMSIG(status);
}

} // namespace veskard::test
