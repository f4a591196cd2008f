#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veskard::test {

struct ChildOutcome {
    int exitCode = -1; // -1 when it was killed
    int signal = 0;    // the signal that ended it, on POSIX
    bool hung = false; // still running at the deadline, and killed
    std::string out;
    std::string err; // for a child on a terminal, all the terminal showed
};

struct ChildOptions {
    std::string input = {}; // written to standard input, which is then closed
    bool terminal = false;  // POSIX only: standard error and /dev/tty are a pseudo-terminal
};

// A program run with pipes for its standard streams and no terminal or
// console (unless given a pseudo-terminal), so that it can never ask whoever
// runs the tests. Arguments are UTF-8. The destructor kills a child still
// running. Throws std::runtime_error when it cannot start.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    void type(std::string_view text); // on the child's terminal

    // Until the child has written `text` to standard output (or error); false
    // when it did not within 20 seconds.
    bool waitForOutput(std::string_view text) { return waitFor(0, text); }
    bool waitForError(std::string_view text) { return waitFor(1, text); }

    // Reads all the child writes, then reaps it; one still running after `timeout` is killed.
    ChildOutcome finish(std::chrono::milliseconds timeout = std::chrono::seconds(120)) {
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

private:
    bool waitFor(int stream, std::string_view text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (written_[stream].find(text) == std::string::npos)
            if (std::chrono::steady_clock::now() > deadline || !drainOnce())
                return written_[stream].find(text) != std::string::npos;
        return true;
    }

    // One system each: takes what the child wrote so far, or waits a moment;
    // false once nothing is left open to read.
    bool drainOnce();
    void kill();
    void reap(ChildOutcome& outcome);

    std::string written_[2]; // standard output and error
    struct Running;
    std::unique_ptr<Running> running_;
};

inline std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

inline ChildOutcome runChild(const std::vector<std::string>& argv,
                             const ChildOptions& options = {}) {
    return ChildProcess(argv, options).finish();
}

} // namespace veskard::test
