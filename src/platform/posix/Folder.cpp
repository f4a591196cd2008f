#include "platform/Folder.h"

#include "platform/PlatformError.h"
#include "platform/posix/Descriptors.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace veskard::platform {
namespace {

using posix::lastError;

constexpr auto fd = posix::descriptorOf;

bool isDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// What a folder made a moment ago is: the running user's, and empty. A folder
// another user put in its place is theirs; one of ours they moved there (they
// may rename what lies in a folder they can write to) holds something.
bool isJustMade(int folder) {
    struct stat info {};
    if (::fstat(folder, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    // A listing of its own, so that the folder's descriptor keeps its offset.
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::unique_ptr<DIR, int (*)(DIR*)> entries(listed >= 0 ? ::fdopendir(listed) : nullptr,
                                                      ::closedir);
    if (!entries) {
        if (listed >= 0)
            ::close(listed);
        return false;
    }
    while (const dirent* entry = ::readdir(entries.get())) {
        if (!isDotOrDotDot(entry->d_name))
            return false;
    }
    return true;
}

// The permission to run goes wherever reading does; writing stays as it was.
mode_t programMode(mode_t created) {
    return (created & 0644) | ((created & 0444) >> 2);
}

} // namespace

// The folder is made and opened relative to its parent, held open, so that
// the name is looked up once for each step and a link put in its place is
// never followed.
Result<Folder> Folder::createNew(const std::filesystem::path& path) {
    const std::filesystem::path parentPath =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    const posix::Descriptor parent(::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent)
        return lastError();
    const std::filesystem::path name = path.filename();
    if (::mkdirat(parent.get(), name.c_str(), 0777) != 0)
        return lastError();
    posix::Descriptor folder(
        ::openat(parent.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder) {
        // A link (ELOOP), something else (ENOTDIR), or nothing any more.
        if (errno == ELOOP || errno == ENOTDIR || errno == ENOENT)
            return PlatformError::FolderReplaced;
        return lastError();
    }
    if (!isJustMade(folder.get()))
        return PlatformError::FolderReplaced;
    return Folder(folder.release(), path);
}

Folder::~Folder() {
    if (handle_ != invalidHandle)
        ::close(fd(handle_));
}

Result<File> Folder::createNewFile(const std::filesystem::path& name, NewFileKind kind) {
    const int descriptor = ::openat(fd(handle_), name.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return lastError();
    File file(descriptor);
    if (kind == NewFileKind::Program) {
        struct stat info {};
        if (::fstat(fd(file.handle_), &info) != 0 ||
            ::fchmod(fd(file.handle_), programMode(info.st_mode & 0777)) != 0) {
            const std::error_code error = lastError();
            file.close();
            removeFile(name);
            return error;
        }
    }
    return file;
}

std::error_code Folder::removeFile(const std::filesystem::path& name) {
    if (::unlinkat(fd(handle_), name.c_str(), 0) != 0)
        return lastError();
    return {};
}

} // namespace veskard::platform
