#pragma once

#include <filesystem>

namespace veskard::platform {

// The directory that holds the running executable.
std::filesystem::path programDirectory();

} // namespace veskard::platform
