#include "platform/TemporaryFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veskard::platform {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

// The rename is durable only once the folder that holds the name is synced.
std::error_code syncFolder(const std::filesystem::path& folder) {
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0)
        return lastError();
    const int result = ::fsync(descriptor);
    const std::error_code error = result != 0 ? lastError() : std::error_code{};
    ::close(descriptor);
    return error;
}

// Carries an in-place target's permissions and, where allowed, owner over.
void copyPermissions(const std::filesystem::path& from, const std::filesystem::path& to) {
    struct stat info {};
    if (::stat(from.c_str(), &info) != 0)
        return;
    if (::chown(to.c_str(), info.st_uid, info.st_gid) != 0) {
        // Only the owner or root may give a file away; the permissions still carry over.
    }
    ::chmod(to.c_str(), info.st_mode & 07777);
}

} // namespace

TemporaryFile::~TemporaryFile() {
    if (committed_)
        return;
    file_.close();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

std::error_code TemporaryFile::commit(const std::filesystem::path& target,
                                      const Replacement& replacement) {
    if (const std::error_code error = file_.sync())
        return error;
    if (const std::error_code error = file_.close())
        return error;
    if (replacement.keepTargetPermissions)
        copyPermissions(target, path_);
    if (const std::error_code error = writeAttributes(path_, replacement.attributes))
        return error;
    if (::rename(path_.c_str(), target.c_str()) != 0)
        return lastError();
    committed_ = true;
    return syncFolder(target.parent_path());
}

} // namespace veskard::platform
