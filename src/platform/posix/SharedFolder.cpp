#include "platform/SharedFolder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace veskard::platform {

// Its group or everyone may write to it (the sticky bit only keeps them from
// others' names, and planting a new name is enough), or it is another user's,
// who may give themselves that right at any time. An access list that lets
// someone else write shows in the group bits, which then hold its mask.
bool othersMayWriteIn(const std::filesystem::path& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return true;
    const bool ownedHere = info.st_uid == ::geteuid() || info.st_uid == 0;
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 || !ownedHere;
}

bool isPlantedLink(const std::filesystem::path& link) {
    struct stat linkInfo {};
    if (::lstat(link.c_str(), &linkInfo) != 0 || !S_ISLNK(linkInfo.st_mode))
        return false;
    struct stat folderInfo {};
    const std::filesystem::path folder = link.has_parent_path() ? link.parent_path() : ".";
    if (::stat(folder.c_str(), &folderInfo) != 0)
        return true;
    const bool anyoneAddsNames = (folderInfo.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return anyoneAddsNames && linkInfo.st_uid != ::geteuid() &&
           linkInfo.st_uid != folderInfo.st_uid;
}

} // namespace veskard::platform
