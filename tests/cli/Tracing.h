#pragma once

#include "Cli.h"

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

// What a POSIX file is besides its bytes; veskard-cli under strace, which
// fails, slows or kills the system calls a test names; and runs as another user.
namespace veskard::test {

constexpr uid_t NobodyId = 65534;

// Kind, permissions, owner and every extended attribute, never following a link.
inline std::string metadataOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return "missing";
    std::map<std::string, std::string> attributes;
    std::string names(65536, '\0'), value(65536, '\0');
    const ssize_t length = ::llistxattr(path.c_str(), names.data(), names.size());
    for (const char* name = names.data(); name < names.data() + std::max<ssize_t>(length, 0);
         name += std::strlen(name) + 1) {
        const ssize_t size = ::lgetxattr(path.c_str(), name, value.data(), value.size());
        attributes[name] = value.substr(0, static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
    }
    std::ostringstream out;
    out << std::oct << info.st_mode << std::dec << ' ' << info.st_uid << ':' << info.st_gid;
    for (const auto& [name, bytes] : attributes)
        out << ' ' << name << '=' << ::testing::PrintToString(bytes);
    return out.str();
}

// Gives `path` this mode, owner (when run as root) and these attributes.
inline bool setMetadata(const std::filesystem::path& path, mode_t mode, uid_t owner,
                        const std::map<std::string, std::string>& attributes = {}) {
    bool ok = (::geteuid() != 0 || ::chown(path.c_str(), owner, owner) == 0) &&
              ::chmod(path.c_str(), mode) == 0;
    for (const auto& [name, value] : attributes)
        ok = ok && ::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
    return ok;
}

inline bool canTrace() {
    static const bool can = runChild({"sh", "-c", "strace -qq -o /dev/null true"}).exitCode == 0;
    return can;
}

// strace's inject= `action` ("error=EIO:when=3", "delay_enter=300000",
// "signal=SIGKILL") on `calls` (comma-separated), or none to only log them;
// `also` is a second action on other calls.
struct Tampering {
    std::string calls, action;
    std::filesystem::path log = "/dev/null";
    std::pair<std::string, std::string> also = {};
};

inline std::vector<std::string> tampered(const Tampering& t, const std::vector<std::string>& args) {
    // LeakSanitizer cannot work under a tracer.
    std::vector<std::string> argv{
        "strace", "-f",          "-qq", "-E",       "ASAN_OPTIONS=detect_leaks=0",
        "-e",     "signal=none", "-o",  utf8(t.log)};
    argv.insert(argv.end(),
                {"-e", "trace=" + t.calls + (t.also.first.empty() ? "" : ",") + t.also.first});
    if (!t.action.empty())
        argv.insert(argv.end(), {"-e", "inject=" + t.calls + ":" + t.action});
    if (!t.also.first.empty())
        argv.insert(argv.end(), {"-e", "inject=" + t.also.first + ":" + t.also.second});
    argv.insert(argv.end(), {"--", CliProgram});
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

inline std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// How often veskard-cli with `arguments` makes the system call `call`.
inline int countCalls(const std::string& call, const std::vector<std::string>& arguments,
                      const std::filesystem::path& log) {
    (void)runChild(tampered({call, {}, log}, arguments), {.input = "pw\n"});
    std::istringstream lines(contentOf(log));
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.find(call + "(") != std::string::npos;
    return count;
}

inline std::vector<std::string> asNobody(std::vector<std::string> argv) {
    argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    return argv;
}

// Waits until `done` holds; false when it did not within 20 seconds.
inline bool waitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return done();
}

} // namespace veskard::test
