#pragma once

#include "support/ChildProcess.h"

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

// What a POSIX file is besides its bytes, read straight from the system.
namespace veskard::test {

// The user other files are given to and other runs are made as.
constexpr uid_t NobodyId = 65534;

// Kind, permissions, owner and every extended attribute, byte for byte;
// never following a symbolic link.
struct Metadata {
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    std::map<std::string, std::string> attributes;
    bool operator==(const Metadata&) const = default;
};

inline Metadata metadataOf(const std::filesystem::path& path) {
    Metadata metadata;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return metadata;
    metadata = {info.st_mode, info.st_uid, info.st_gid, {}};
    std::string names(65536, '\0');
    const ssize_t length = ::llistxattr(path.c_str(), names.data(), names.size());
    for (std::size_t at = 0; length > 0 && at < static_cast<std::size_t>(length);) {
        const std::string name = names.c_str() + at;
        at += name.size() + 1;
        std::string value(65536, '\0');
        const ssize_t size = ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
        value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
        metadata.attributes[name] = value;
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

// Gives `path` this mode, owner and these attributes, as another program would.
// Only root gives files away: anyone else keeps them.
inline bool setMetadata(const std::filesystem::path& path, mode_t mode, uid_t owner,
                        const std::map<std::string, std::string>& attributes = {}) {
    bool ok = (::geteuid() != 0 || ::chown(path.c_str(), owner, owner) == 0) &&
              ::chmod(path.c_str(), mode) == 0;
    for (const auto& [name, value] : attributes)
        ok = ok && ::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
    return ok;
}

// The temporary files a job left in `folder`: hidden names ending in ".tmp".
inline std::vector<std::filesystem::path> temporaryFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = utf8(entry.path().filename());
        if (name.starts_with(".") && name.ends_with(".tmp"))
            found.push_back(entry.path());
    }
    return found;
}

} // namespace veskard::test
