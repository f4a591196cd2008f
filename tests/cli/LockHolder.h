#pragma once

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veskard::test {

// Another program that holds a file: a real child process that takes a lock
// on it and keeps it until the holder is destroyed.
class LockHolder {
public:
    enum class Kind { FlockExclusive, FlockShared, FcntlWrite, FcntlRead };

    // Returns once the child holds the lock.
    LockHolder(const std::filesystem::path& file, Kind kind) {
        int ready[2];
        if (::pipe(ready) != 0)
            throw std::runtime_error("pipe failed");
        pid_ = ::fork();
        if (pid_ < 0)
            throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            // Only async-signal-safe calls from here on.
            ::close(ready[0]);
            const bool writing = kind == Kind::FcntlWrite;
            const int fd = ::open(file.c_str(), writing ? O_RDWR : O_RDONLY);
            if (fd < 0 || !take(fd, kind))
                ::_exit(1);
            const char byte = 1;
            if (::write(ready[1], &byte, 1) != 1)
                ::_exit(1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        pollfd waitFor{ready[0], POLLIN, 0};
        char byte = 0;
        const bool held = ::poll(&waitFor, 1, 10000) == 1 && ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        if (!held) {
            stop();
            throw std::runtime_error("the child could not lock " + file.string());
        }
    }
    ~LockHolder() { stop(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

private:
    static bool take(int fd, Kind kind) {
        switch (kind) {
        case Kind::FlockExclusive:
            return ::flock(fd, LOCK_EX) == 0;
        case Kind::FlockShared:
            return ::flock(fd, LOCK_SH) == 0;
        case Kind::FcntlWrite:
        case Kind::FcntlRead: {
            struct flock range {};
            range.l_type = kind == Kind::FcntlWrite ? F_WRLCK : F_RDLCK;
            range.l_whence = SEEK_SET; // l_len 0: the whole file, however long
            return ::fcntl(fd, F_SETLKW, &range) == 0;
        }
        }
        return false;
    }

    void stop() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    pid_t pid_ = -1;
};

} // namespace veskard::test
