#pragma once

#include <filesystem>

namespace veskard::platform {

// Whether a user other than this one (the system's administrator aside) may
// add, remove or rename names in `folder`: a file there could then be swapped
// for a link to any file of this user's at any moment. A folder that cannot
// be looked at counts as shared.
bool othersMayWriteIn(const std::filesystem::path& folder);

// Whether `link` is a symbolic link that another user put in a folder where
// anyone may add names but remove only their own (sticky and writable by all,
// as /tmp), and whose owner is not that folder's either. The system refuses
// to follow such a link (Linux's protected_symlinks), since it may lead to
// any file of the user's; whoever follows links by hand must refuse it too.
bool isPlantedLink(const std::filesystem::path& link);

} // namespace veskard::platform
