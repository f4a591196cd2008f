#pragma once

#include "Cli.h"
#include "FileState.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// veskard-cli under strace, which fails, slows or interrupts the system calls
// a test names, so that late failures and races happen exactly where wanted;
// and runs as another user.
namespace veskard::test {

// In a build with AddressSanitizer its runtime writes to a pipe of its own to
// probe memory: writes made to fail would fail the runtime, not the program.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool SanitizerWrites = true;
#else
inline constexpr bool SanitizerWrites = false;
#endif

// Whether strace is there and may trace here.
inline bool canTrace() {
    static const bool can = [] {
        try {
            return runChild({"strace", "-qq", "-o", "/dev/null", "true"}).exitCode == 0;
        } catch (const std::runtime_error&) {
            return false;
        }
    }();
    return can;
}

// What strace does to the calls named in `calls` (a comma-separated set):
// an inject= action such as "error=EIO:when=3", "delay_enter=300000" or
// "signal=SIGKILL:when=2", or none to only watch them. Each call is written
// to `log` as the program enters it. `also` does a second action to a second
// set of calls (strace keeps one action a call).
struct Tampering {
    std::string calls;
    std::string action;
    std::filesystem::path log = "/dev/null";
    std::pair<std::string, std::string> also = {};
};

// The command line that runs veskard-cli with `arguments` under `tampering`.
inline std::vector<std::string> tampered(const Tampering& tampering,
                                         const std::vector<std::string>& arguments) {
    // LeakSanitizer cannot work under a tracer: it would fail every run of a sanitized build.
    std::vector<std::string> argv{"strace", "-f", "-qq", "-E", "ASAN_OPTIONS=detect_leaks=0"};
    argv.insert(argv.end(), {"-e", "signal=none", "-o", utf8(tampering.log)});
    const auto& [alsoCalls, alsoAction] = tampering.also;
    // strace tampers only with the calls it traces.
    argv.insert(argv.end(),
                {"-e", "trace=" + tampering.calls + (alsoCalls.empty() ? "" : ",") + alsoCalls});
    if (!tampering.action.empty())
        argv.insert(argv.end(), {"-e", "inject=" + tampering.calls + ":" + tampering.action});
    if (!alsoCalls.empty())
        argv.insert(argv.end(), {"-e", "inject=" + alsoCalls + ":" + alsoAction});
    argv.push_back("--");
    argv.push_back(CliProgram);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

// How often veskard-cli with `arguments` makes the system call `call`.
inline int countCalls(const std::string& call, const std::vector<std::string>& arguments,
                      const std::string& input, const std::filesystem::path& log) {
    (void)runChild(tampered({call, {}, log}, arguments), ChildOptions{.input = input});
    std::ifstream lines(log);
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.find(call + "(") != std::string::npos;
    return count;
}

// The same program run as the unprivileged user NobodyId.
inline std::vector<std::string> asNobody(std::vector<std::string> argv) {
    argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    return argv;
}

// Waits until `done` holds; false when it did not within 20 seconds.
inline bool waitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Whether `log` shows a call whose line contains `text` (entered, or done).
inline bool logShows(const std::filesystem::path& log, const std::string& text) {
    std::ifstream in(log);
    const std::string all{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return all.find(text) != std::string::npos;
}

// Waits for a job's temporary file to appear in `folder`; empty if none did.
inline std::filesystem::path awaitTemporary(const std::filesystem::path& folder) {
    std::filesystem::path found;
    waitUntil([&] {
        const std::vector<std::filesystem::path> files = temporaryFiles(folder);
        found = files.empty() ? std::filesystem::path() : files.front();
        return !files.empty();
    });
    return found;
}

// A job held up once its temporary file is written, before anything is
// checked or renamed: the sync of that file (the first fsync, a call no
// runtime makes on its own) takes two seconds, time enough for a test to act.
inline const Tampering SlowWriting{"fsync", "delay_enter=2000000:when=1"};

} // namespace veskard::test
