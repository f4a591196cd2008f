#pragma once

#include "platform/Result.h"

#include <filesystem>

namespace veskard::platform {

// Whether two paths name one file: the same name, or two names of one file.
bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The name a path leads to through symbolic links: replacing that, not the
// link, is what writing to the path means. A link that leads nowhere gives the
// name it points to; a loop of links, or a link another user planted where
// anyone may add names (see isPlantedLink), is an error.
Result<std::filesystem::path> followLinks(const std::filesystem::path& path);

// Whether anything has this name, a symbolic link leading nowhere included.
Result<bool> nameExists(const std::filesystem::path& path);

} // namespace veskard::platform
