#pragma once

#include <string>

namespace veskard::engine {

// The program's version as the log banner, the About title and the command
// line show it: the project's, which the build passes in.
inline constexpr int VersionMajor = VESKARD_VERSION_MAJOR;
inline constexpr int VersionMinor = VESKARD_VERSION_MINOR;

// The first line of every operation log: "******** Veskard v1.6 ********".
inline std::string logBanner() {
    return "******** Veskard v" + std::to_string(VersionMajor) + "." +
           std::to_string(VersionMinor) + " ********";
}

} // namespace veskard::engine
