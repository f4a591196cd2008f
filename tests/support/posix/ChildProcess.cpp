#include "support/ChildProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>

namespace veskard::test {

// A session of its own, so without a controlling terminal unless it is given
// the pseudo-terminal, which is then also its standard error.
void ChildProcess::start(const QString& program, const QStringList& arguments, bool terminal) {
    int childSide = -1;
    if (terminal) {
        if (::openpty(&terminal_, &childSide, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        ::fcntl(terminal_, F_SETFD, FD_CLOEXEC);
        ::fcntl(terminal_, F_SETFL, O_NONBLOCK);
        ::fcntl(childSide, F_SETFD, FD_CLOEXEC);
    }
    process_.setChildProcessModifier([childSide] {
        if (::setsid() < 0 ||
            (childSide >= 0 && (::ioctl(childSide, TIOCSCTTY, 0) != 0 || ::dup2(childSide, 2) < 0)))
            ::_exit(127);
    });
    process_.start(program, arguments);
    if (childSide >= 0)
        ::close(childSide);
}

ChildProcess::~ChildProcess() {
    process_.kill(); // before QProcess, which would warn that it still runs
    process_.waitForFinished(-1);
    if (terminal_ >= 0)
        ::close(terminal_);
}

void ChildProcess::type(std::string_view text) {
    if (::write(terminal_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("the terminal took not all that was typed");
}

void ChildProcess::readTerminal() {
    char buffer[4096];
    while (terminal_ >= 0) {
        const ssize_t count = ::read(terminal_, buffer, sizeof buffer);
        if (count > 0) {
            written_[1].append(buffer, static_cast<std::size_t>(count));
        } else if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        } else { // EIO once nobody holds the other side
            ::close(terminal_);
            terminal_ = -1;
        }
    }
}

} // namespace veskard::test
