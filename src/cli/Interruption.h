#pragma once

#include <memory>
#include <stop_token>

namespace veskard::cli {

// While it lives, the user's interrupt asks `source` to stop instead of ending
// the program at once: SIGINT and SIGTERM on POSIX; Ctrl+C, Ctrl+Break and
// closing the console on Windows. A job asked to stop ends cleanly, leaving
// its file as it was and no temporary file behind. Where the interrupt cannot
// be caught, it ends the program as it always would.
class StopOnInterrupt {
public:
    explicit StopOnInterrupt(std::stop_source& source);
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

private:
    class Watch; // one per system
    std::unique_ptr<Watch> watch_;
};

} // namespace veskard::cli
