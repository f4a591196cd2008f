#include "cli/Interruption.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace veskard::cli {
namespace {

constexpr std::array<int, 2> interrupts = {SIGINT, SIGTERM};
constexpr char Interrupted = 'i';

// A signal handler may do next to nothing: it writes a byte to a pipe, and a
// thread of its own turns that into a stop request.
int wakeUp = -1;

extern "C" void onInterrupt(int) {
    const int saved = errno;
    const char byte = Interrupted;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp, &byte, 1);
    errno = saved;
}

} // namespace

class StopOnInterrupt::Watch {
public:
    explicit Watch(std::stop_source& source) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return;
        readEnd_ = ends[0];
        wakeUp = ends[1];
        try {
            thread_ = std::thread([this, &source] { watch(source); });
        } catch (const std::system_error&) {
            return; // no thread: the interrupts keep their usual effect
        }
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < interrupts.size(); ++i)
            ::sigaction(interrupts[i], &action, &previous_[i]);
        installed_ = true;
    }

    ~Watch() {
        if (installed_) {
            for (std::size_t i = 0; i < interrupts.size(); ++i)
                ::sigaction(interrupts[i], &previous_[i], nullptr);
        }
        // Closing the pipe's writing end is what ends the thread: a byte
        // written to say so could be lost with the disk full or the system
        // failing writes, and the program would never end.
        if (readEnd_ >= 0) {
            ::close(wakeUp);
            wakeUp = -1;
        }
        if (thread_.joinable())
            thread_.join();
        if (readEnd_ >= 0)
            ::close(readEnd_);
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

private:
    void watch(std::stop_source& source) {
        char byte = 0;
        for (;;) {
            const ssize_t count = ::read(readEnd_, &byte, 1);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                return;
            source.request_stop();
        }
    }

    int readEnd_ = -1;
    std::thread thread_;
    std::array<struct sigaction, interrupts.size()> previous_{};
    bool installed_ = false;
};

StopOnInterrupt::StopOnInterrupt(std::stop_source& source)
    : watch_(std::make_unique<Watch>(source)) {}

StopOnInterrupt::~StopOnInterrupt() = default;

} // namespace veskard::cli
