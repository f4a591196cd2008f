#include "cli/Console.h"

#include "cli/CliError.h"
#include "cli/Utf8.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace veskard::cli {
namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// Echo is switched off for the whole process, so a signal that ends it while
// the password is typed must switch it back on, or the shell is left blind.
// One terminal at a time; the handler reaches its state through these.
int echoFd = -1;
termios echoSaved{};
constexpr std::array<int, 4> fatalSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void restoreEchoAndDie(int signal) {
    ::tcsetattr(echoFd, TCSAFLUSH, &echoSaved);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

class EchoOff {
public:
    explicit EchoOff(int fd) {
        if (::tcgetattr(fd, &echoSaved) != 0) {
            error_ = lastError();
            return;
        }
        echoFd = fd;
        struct sigaction restore {};
        restore.sa_handler = restoreEchoAndDie;
        for (std::size_t i = 0; i < fatalSignals.size(); ++i)
            ::sigaction(fatalSignals[i], &restore, &previous_[i]);
        termios quiet = echoSaved;
        // The Enter key still moves to the next line.
        quiet.c_lflag = (quiet.c_lflag & ~static_cast<tcflag_t>(ECHO)) | ECHONL;
        if (::tcsetattr(fd, TCSAFLUSH, &quiet) != 0)
            error_ = lastError();
    }
    ~EchoOff() {
        if (echoFd < 0)
            return;
        ::tcsetattr(echoFd, TCSAFLUSH, &echoSaved);
        for (std::size_t i = 0; i < fatalSignals.size(); ++i)
            ::sigaction(fatalSignals[i], &previous_[i], nullptr);
        echoFd = -1;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

    std::error_code error() const { return error_; }

private:
    std::array<struct sigaction, fatalSignals.size()> previous_{};
    std::error_code error_;
};

class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::error_code writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        text.remove_prefix(static_cast<std::size_t>(count));
    }
    return {};
}

// Up to the line end or the end of input; one byte at a time, so that nothing
// typed after the line is taken from the terminal.
Result<std::string> readLine(int fd) {
    std::string line;
    char byte = 0;
    for (;;) {
        const ssize_t count = ::read(fd, &byte, 1);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        if (count == 0 || byte == '\n')
            return line;
        line.push_back(byte);
    }
}

} // namespace

Result<std::u16string> readHiddenLine(std::string_view prompt) {
    const Descriptor terminal(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (terminal.get() < 0)
        return CliError::NoTerminal;
    const EchoOff echoOff(terminal.get());
    if (echoOff.error())
        return echoOff.error();
    if (const std::error_code error = writeAll(terminal.get(), prompt))
        return error;
    const Result<std::string> line = readLine(terminal.get());
    if (!line)
        return line.error();
    std::optional<std::u16string> text = utf8ToUtf16(*line);
    if (!text)
        return CliError::PasswordNotUtf8;
    return std::move(*text);
}

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace veskard::cli
