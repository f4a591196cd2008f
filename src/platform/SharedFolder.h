#pragma once

#include <filesystem>

namespace veskard::platform {

// Whether a user other than this one (the system's administrator aside) may
// add, remove or rename names in `folder`: a file there could then be swapped
// for a link to any file of this user's at any moment. A folder that cannot
// be looked at counts as shared.
bool othersMayWriteIn(const std::filesystem::path& folder);

} // namespace veskard::platform
