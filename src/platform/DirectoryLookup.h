#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace veskard::platform {

// Attribute masks of a directory lookup. Normal, read-only and archive files
// always match; hidden and system files only when the mask names them.
// Directories never match.
namespace LookupMask {
inline constexpr std::uint32_t Normal = 0;
inline constexpr std::uint32_t ReadOnly = 1;
inline constexpr std::uint32_t Hidden = 2;
inline constexpr std::uint32_t System = 4;
inline constexpr std::uint32_t AllFiles = ReadOnly | Hidden | System;
} // namespace LookupMask

// Looks for the first file matching `pattern` and returns its file-name part,
// or nothing. On Windows the last component of the path may hold the
// wildcards * and ?; on POSIX, where they are characters of a name, the path
// names one file exactly.
std::optional<std::filesystem::path> findFirstFile(const std::filesystem::path& pattern,
                                                   std::uint32_t mask);

} // namespace veskard::platform
