#include "support/FileHold.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

// Locks are advisory here: a program that takes none is not kept out, which is
// why the platform layer takes them and these are the ones it must respect.
// An fcntl lock is the process's: while it holds one, a test must not open and
// close the file otherwise, which would let it go.
namespace veskard::test {

std::vector<std::string> FileHold::ways() {
    return {"flock-shared", "fcntl-read", "flock-exclusive", "fcntl-write"};
}

FileHold::FileHold(const std::filesystem::path& file, const std::string& way)
    : handle_(::open(file.c_str(), (way == "fcntl-write" ? O_RDWR : O_RDONLY) | O_CLOEXEC)) {
    const int fd = static_cast<int>(handle_);
    struct flock range {}; // l_len 0: the whole file, however long
    range.l_type = way == "fcntl-write" ? F_WRLCK : F_RDLCK;
    if (fd < 0 ||
        (way.starts_with("flock") ? ::flock(fd, way == "flock-exclusive" ? LOCK_EX : LOCK_SH)
                                  : ::fcntl(fd, F_SETLK, &range)) != 0)
        throw std::runtime_error("cannot hold " + file.string() + " as " + way);
}

FileHold::~FileHold() {
    ::close(static_cast<int>(handle_));
}

} // namespace veskard::test
