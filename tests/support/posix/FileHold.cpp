#include "support/FileHold.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

// Locks are advisory here: a program that takes none is not kept out, which is
// why the platform layer takes them and these are the ones it must respect.
namespace veskard::test {
namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

} // namespace

std::vector<std::string> holdWays() {
    return {"flock-shared", "fcntl-read", "flock-exclusive", "fcntl-write"};
}

std::error_code holdFile(const std::filesystem::path& file, std::string_view way) {
    const bool byFlock = way == "flock-shared" || way == "flock-exclusive";
    const bool byFcntl = way == "fcntl-read" || way == "fcntl-write";
    if (!byFlock && !byFcntl)
        return std::make_error_code(std::errc::invalid_argument);
    const bool exclusive = way == "flock-exclusive" || way == "fcntl-write";
    // Never closed: the lock goes with the process.
    const int fd = ::open(file.c_str(), way == "fcntl-write" ? O_RDWR : O_RDONLY);
    if (fd < 0)
        return lastError();
    if (byFlock)
        return ::flock(fd, exclusive ? LOCK_EX : LOCK_SH) == 0 ? std::error_code{} : lastError();
    struct flock range {};
    range.l_type = exclusive ? F_WRLCK : F_RDLCK;
    range.l_whence = SEEK_SET; // l_len 0: the whole file, however long
    return ::fcntl(fd, F_SETLKW, &range) == 0 ? std::error_code{} : lastError();
}

} // namespace veskard::test
