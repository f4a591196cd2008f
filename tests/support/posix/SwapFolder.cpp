// SwapFolder NAME TARGET: another user's program that, in its current folder,
// waits for a folder NAME to appear, renames it away and puts a symbolic link
// to TARGET in its place, again for every new one, until it is killed. It
// writes one byte on standard output once it watches. Woken by inotify rather
// than polling, it acts right after the folder is made, even on a busy machine.
#include <cstdio>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: SwapFolder NAME TARGET\n", stderr);
        return 2;
    }
    const int events = ::inotify_init1(IN_CLOEXEC);
    if (events < 0 || ::inotify_add_watch(events, ".", IN_CREATE | IN_MOVED_TO) < 0) {
        std::perror("SwapFolder: inotify");
        return 1;
    }
    std::fputc('+', stdout);
    std::fflush(stdout);
    char buffer[4096];
    for (int swapped = 0; ::read(events, buffer, sizeof buffer) > 0;) {
        struct stat info {};
        if (::lstat(argv[1], &info) == 0 && S_ISDIR(info.st_mode) &&
            ::rename(argv[1], ("gone" + std::to_string(swapped)).c_str()) == 0) {
            ++swapped;
            ::symlink(argv[2], argv[1]);
        }
    }
    return 1;
}
