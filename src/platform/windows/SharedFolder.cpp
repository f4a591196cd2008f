#include "platform/SharedFolder.h"

namespace veskard::platform {

// A folder's access list decides here, and reading who it lets write (every
// group the user is not in, inherited entries, deny entries) is no small
// matter. The program's own files are refused when they are reparse points
// or have other names (File::openProgramFile), which keeps another user from
// pointing the program at a file of its user's.
bool othersMayWriteIn(const std::filesystem::path&) {
    return false;
}

// Making a symbolic link takes a privilege there (or Developer Mode), and who
// may add names to a folder is its access list's to say, which is not read here.
bool isPlantedLink(const std::filesystem::path&) {
    return false;
}

} // namespace veskard::platform
