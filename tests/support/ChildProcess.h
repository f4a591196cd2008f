#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veskard::test {

// How a child process ended and what it wrote.
struct ChildOutcome {
    int exitCode = -1; // -1 when it was killed
    int signal = 0;    // the signal that ended it, on POSIX
    bool hung = false; // it was still running at the deadline, and was killed
    std::string out;
    // Standard error; for a child on a terminal, everything the terminal showed.
    std::string err;
};

struct ChildOptions {
    std::string input = {}; // written to standard input, which is then closed
    bool terminal = false;  // POSIX only: standard error and /dev/tty are a pseudo-terminal
    std::string workingDirectory = {}; // the child's current folder; the test's when empty
};

// A real program run as a child process with pipes for its standard input,
// output and error, and no terminal or console of its own (unless given a
// pseudo-terminal to type on), so that a child asking for a password can
// never reach whoever runs the tests. Arguments are UTF-8 on every system.
// The destructor kills a child still running, so a failed assertion never
// leaves one behind.
class ChildProcess {
public:
    // Starts the child; throws std::runtime_error when it cannot.
    explicit ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Types on the child's terminal.
    void type(std::string_view text);

    // Wait until the child has written `text` to standard output, or to
    // standard error (all the terminal showed, for a child on one); false
    // when it did not within 20 seconds.
    bool waitForOutput(std::string_view text) { return waitFor(0, text); }
    bool waitForError(std::string_view text) { return waitFor(1, text); }

    // Reads all the child writes until it closes its output, then reaps it.
    // A child still running after `timeout` is killed.
    ChildOutcome finish(std::chrono::milliseconds timeout = std::chrono::seconds(120));

private:
    bool waitFor(int stream, std::string_view text);

    // One system each: takes what the child wrote so far into written_, or
    // waits a moment; false once nothing is left open to read.
    bool drainOnce();
    void kill();
    // Waits for the child to end, and records how it ended.
    void reap(ChildOutcome& outcome);

    std::string written_[2]; // standard output and error
    struct Running;
    std::unique_ptr<Running> running_;
};

// A path as an argument for a child: in UTF-8, as ChildProcess takes them.
inline std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// Runs a program to its end.
inline ChildOutcome runChild(const std::vector<std::string>& argv,
                             const ChildOptions& options = {}) {
    return ChildProcess(argv, options).finish();
}

} // namespace veskard::test
