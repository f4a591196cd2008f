#pragma once

namespace veskard::engine {

// The program's version as the log banner, the About title and the command
// line show it.
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 6;

} // namespace veskard::engine
