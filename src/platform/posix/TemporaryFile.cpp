#include "platform/TemporaryFile.h"

#include "platform/PlatformError.h"
#include "platform/TemporaryName.h"
#include "platform/posix/Descriptors.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <utility>
#include <vector>

namespace veskard::platform {
namespace {

using posix::isSameFile;
using posix::lastError;

constexpr auto fd = posix::descriptorOf;

// Whether `name` in `folder` is still the file open as `descriptor`, not
// following a link planted there.
bool namesFile(int folder, const char* name, int descriptor) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(descriptor, &opened) == 0 &&
           ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(named.st_mode) &&
           isSameFile(opened, named);
}

struct ExtendedAttribute {
    std::string name;
    std::vector<char> value;
};

bool noExtendedAttributesHere(int error) {
    return error == ENOTSUP || error == ENOSYS;
}

// Every extended attribute of an open file, in whatever namespace the caller
// may read (user, system ACLs, security labels; trusted ones for root).
Result<std::vector<ExtendedAttribute>> readExtendedAttributes(int descriptor) {
    std::vector<ExtendedAttribute> attributes;
    const ssize_t listSize = ::flistxattr(descriptor, nullptr, 0);
    if (listSize < 0 && noExtendedAttributesHere(errno))
        return attributes;
    if (listSize < 0)
        return lastError();
    std::vector<char> names(static_cast<std::size_t>(listSize));
    const ssize_t listed = ::flistxattr(descriptor, names.data(), names.size());
    if (listed < 0)
        return lastError();
    for (std::size_t at = 0; at < static_cast<std::size_t>(listed);) {
        std::string name(names.data() + at);
        at += name.size() + 1;
        const ssize_t size = ::fgetxattr(descriptor, name.c_str(), nullptr, 0);
        if (size < 0)
            return lastError();
        std::vector<char> value(static_cast<std::size_t>(size));
        const ssize_t read = ::fgetxattr(descriptor, name.c_str(), value.data(), value.size());
        if (read < 0)
            return lastError();
        value.resize(static_cast<std::size_t>(read));
        attributes.push_back({std::move(name), std::move(value)});
    }
    return attributes;
}

// The process's umask, read without changing it (umask() would, for a moment,
// for every thread).
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string field;
    while (status >> field) {
        if (field == "Umask:") {
            unsigned mask = 0;
            if (status >> std::oct >> mask)
                return static_cast<mode_t>(mask);
            break;
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

Result<TemporaryFile> TemporaryFile::createBeside(const std::filesystem::path& target) {
    const std::filesystem::path folderPath =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    posix::Descriptor folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder)
        return lastError();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const Result<std::filesystem::path> name = detail::temporaryName(target);
        if (!name)
            return name.error();
        const int descriptor = ::openat(folder.get(), name->c_str(),
                                        O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor >= 0) {
            TemporaryFile temporary(File(descriptor), folder.release(), folderPath / *name, target);
            // Private whatever the umask, and writable, so that its own
            // extended attributes can be given to it.
            if (::fchmod(descriptor, 0600) != 0)
                return lastError();
            return temporary;
        }
        if (errno != EEXIST)
            return lastError();
    }
    return std::make_error_code(std::errc::file_exists);
}

TemporaryFile::~TemporaryFile() {
    if (!committed_ && namesFile(fd(folder_), path_.filename().c_str(), fd(file_.handle_)))
        ::unlinkat(fd(folder_), path_.filename().c_str(), 0);
    file_.close();
    if (folder_ >= 0)
        ::close(fd(folder_));
}

// Owner first (giving a file away clears its set-user-ID bits), then the
// attributes (a user may change those of a file only while it is writable to
// them), then the mode.
std::error_code TemporaryFile::copyMetadataFrom(const File& original) {
    const int from = fd(original.handle_);
    const int to = fd(file_.handle_);
    struct stat wanted {};
    struct stat current {};
    if (::fstat(from, &wanted) != 0 || ::fstat(to, &current) != 0)
        return lastError();
    const Result<std::vector<ExtendedAttribute>> attributes = readExtendedAttributes(from);
    if (!attributes)
        return attributes.error();

    if ((wanted.st_uid != current.st_uid || wanted.st_gid != current.st_gid) &&
        ::fchown(to, wanted.st_uid, wanted.st_gid) != 0)
        return lastError();
    for (const ExtendedAttribute& attribute : *attributes) {
        if (::fsetxattr(to, attribute.name.c_str(), attribute.value.data(), attribute.value.size(),
                        0) != 0)
            return lastError();
    }
    // What the new file got by itself (an access list its folder passes on, say).
    const Result<std::vector<ExtendedAttribute>> own = readExtendedAttributes(to);
    if (!own)
        return own.error();
    for (const ExtendedAttribute& attribute : *own) {
        const bool wantedToo =
            std::any_of(attributes->begin(), attributes->end(),
                        [&](const ExtendedAttribute& kept) { return kept.name == attribute.name; });
        if (!wantedToo && ::fremovexattr(to, attribute.name.c_str()) != 0 && errno != ENODATA)
            return lastError();
    }
    if (::fchmod(to, wanted.st_mode & 07777) != 0)
        return lastError();
    return {};
}

std::error_code TemporaryFile::giveFreshMetadata() {
    if (::fchmod(fd(file_.handle_), 0666 & ~currentUmask()) != 0)
        return lastError();
    return {};
}

Result<TemporaryFile::Committed> TemporaryFile::commit(const std::optional<FileState>& replaced,
                                                       std::vector<File> held) {
    // Again: the metadata was given after the content was synced.
    if (const std::error_code error = file_.sync())
        return error;
    const int folder = fd(folder_);
    const std::string name = path_.filename();
    const std::string targetName = target_.filename();
    if (!namesFile(folder, name.c_str(), fd(file_.handle_)))
        return PlatformError::TemporaryFileReplaced;

    struct stat current {};
    if (replaced) {
        if (::fstatat(folder, targetName.c_str(), &current, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? make_error_code(PlatformError::FileReplaced) : lastError();
        if (current.st_dev != replaced->device || current.st_ino != replaced->file)
            return PlatformError::FileReplaced;
        if (::renameat(folder, name.c_str(), folder, targetName.c_str()) != 0)
            return lastError();
    } else if (::renameat2(folder, name.c_str(), folder, targetName.c_str(), RENAME_NOREPLACE) !=
               0) {
        // A file that appeared under the name meanwhile is not replaced.
        if (errno != EINVAL && errno != ENOSYS)
            return lastError();
        // File systems that cannot refuse it themselves: look, then rename.
        if (::fstatat(folder, targetName.c_str(), &current, AT_SYMLINK_NOFOLLOW) == 0)
            return std::make_error_code(std::errc::file_exists);
        if (::renameat(folder, name.c_str(), folder, targetName.c_str()) != 0)
            return lastError();
    }
    committed_ = true;
    held.clear();
    file_.close();
    // The rename is durable only once the folder that holds the name is synced.
    Committed committed;
    if (::fsync(folder) != 0)
        committed.afterwards = lastError();
    return committed;
}

} // namespace veskard::platform
