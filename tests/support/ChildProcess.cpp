#include "support/ChildProcess.h"

#include <utility>

// What both systems share: waiting for output, and for the end.
namespace veskard::test {

bool ChildProcess::waitFor(int stream, std::string_view text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (written_[stream].find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline || !drainOnce())
            return written_[stream].find(text) != std::string::npos;
    }
    return true;
}

ChildOutcome ChildProcess::finish(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    ChildOutcome outcome;
    while (drainOnce()) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill();
            outcome.hung = true;
            break;
        }
    }
    reap(outcome);
    outcome.out = std::move(written_[0]);
    outcome.err = std::move(written_[1]);
    return outcome;
}

} // namespace veskard::test
