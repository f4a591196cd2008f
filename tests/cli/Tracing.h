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
// fails, slows or kills the system calls a test names, so that late failures
// and races happen exactly where wanted; and runs as another user.
namespace veskard::test {

constexpr uid_t NobodyId = 65534;

// Kind, permissions, owner and every extended attribute, never following a link.
struct Metadata {
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    std::map<std::string, std::string> attributes;
    bool operator==(const Metadata&) const = default;
};

inline Metadata metadataOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return {};
    Metadata metadata{info.st_mode, info.st_uid, info.st_gid, {}};
    std::string names(65536, '\0'), value(65536, '\0');
    const ssize_t length = ::llistxattr(path.c_str(), names.data(), names.size());
    for (const char* name = names.data(); name < names.data() + std::max<ssize_t>(length, 0);
         name += std::strlen(name) + 1) {
        const ssize_t size = ::lgetxattr(path.c_str(), name, value.data(), value.size());
        metadata.attributes[name] =
            value.substr(0, static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
    }
    return metadata;
}

inline std::ostream& operator<<(std::ostream& out, const Metadata& metadata) {
    out << "mode " << std::oct << metadata.mode << std::dec << ", owner " << metadata.owner << ':'
        << metadata.group;
    for (const auto& [name, value] : metadata.attributes)
        out << ", " << name << " (" << value.size() << " bytes)";
    return out;
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
    static const bool can = [] {
        try {
            return runChild({"strace", "-qq", "-o", "/dev/null", "true"}).exitCode == 0;
        } catch (const std::runtime_error&) {
            return false;
        }
    }();
    return can;
}

// strace's inject= `action` ("error=EIO:when=3", "delay_enter=300000",
// "signal=SIGKILL") on `calls` (comma-separated), or none to only log them;
// `also` is a second action on other calls.
struct Tampering {
    std::string calls;
    std::string action;
    std::filesystem::path log = "/dev/null";
    std::pair<std::string, std::string> also = {};
};

inline std::vector<std::string> tampered(const Tampering& tampering,
                                         const std::vector<std::string>& arguments) {
    // LeakSanitizer cannot work under a tracer.
    std::vector<std::string> argv{"strace",
                                  "-f",
                                  "-qq",
                                  "-E",
                                  "ASAN_OPTIONS=detect_leaks=0",
                                  "-e",
                                  "signal=none",
                                  "-o",
                                  utf8(tampering.log)};
    const auto& [alsoCalls, alsoAction] = tampering.also;
    argv.insert(argv.end(),
                {"-e", "trace=" + tampering.calls + (alsoCalls.empty() ? "" : ",") + alsoCalls});
    if (!tampering.action.empty())
        argv.insert(argv.end(), {"-e", "inject=" + tampering.calls + ":" + tampering.action});
    if (!alsoCalls.empty())
        argv.insert(argv.end(), {"-e", "inject=" + alsoCalls + ":" + alsoAction});
    argv.insert(argv.end(), {"--", CliProgram});
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

inline std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// How often veskard-cli with `arguments` makes the system call `call`.
inline int countCalls(const std::string& call, const std::vector<std::string>& arguments,
                      const std::string& input, const std::filesystem::path& log) {
    (void)runChild(tampered({call, {}, log}, arguments), {.input = input});
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

// Starts `command` on `file` under `tampering` and waits until `ready` holds.
inline void startTampered(std::optional<ChildProcess>& run, const Tampering& tampering,
                          const std::string& command, const std::filesystem::path& file,
                          const std::function<bool()>& ready) {
    run.emplace(tampered(tampering, {command, utf8(file), "--password-stdin"}),
                ChildOptions{.input = "pw\n"});
    ASSERT_TRUE(waitUntil(ready)) << run->finish();
}

// A job held up for two seconds once its temporary file is written, before
// anything is checked or renamed: at the first fsync, which no runtime makes.
inline const Tampering SlowWriting{"fsync", "delay_enter=2000000:when=1"};

} // namespace veskard::test
