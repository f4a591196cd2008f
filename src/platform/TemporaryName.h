#pragma once

#include "platform/Result.h"

#include <filesystem>

// The temporary file's name, shared by both systems.
namespace veskard::platform::detail {

// ".NAME.xxxxxxxx.tmp" for `target`, with eight random letters and digits:
// made in the target's folder, so that the final rename never crosses file
// systems, and dotted, so that a leftover of a killed run stays out of the way.
// NAME is cut, never inside a character, so that the whole fits 255 bytes on
// POSIX or 255 UTF-16 units on Windows. Fails only without a system random
// source.
Result<std::filesystem::path> temporaryName(const std::filesystem::path& target);

} // namespace veskard::platform::detail
