#pragma once

#include <QProcess>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace veskard::test {

// Until `done` holds; false when it did not within `timeout`.
inline bool waitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return done();
}

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
// runs the tests. Arguments are UTF-8. The destructor kills it if still running.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
    ~ChildProcess();

    void type(std::string_view text); // on the child's terminal (POSIX only)

    // Until the child wrote `text` to standard output (stream 0) or error (1).
    bool waitFor(int stream, std::string_view text);

    // Reads all the child writes until it ends; one still running after `timeout` is killed.
    ChildOutcome finish(std::chrono::milliseconds timeout = std::chrono::seconds(120));

private:
    // One system each: starts the program without a terminal or console, or
    // on a pseudo-terminal; reads what that terminal shows.
    void start(const QString& program, const QStringList& arguments, bool terminal);
    void readTerminal();
    // Takes what the child wrote within a moment; false once it ended and nothing is left.
    bool collect();

    QProcess process_;
    std::string written_[2]; // standard output and error
    int terminal_ = -1;      // the pseudo-terminal's side the test holds
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
