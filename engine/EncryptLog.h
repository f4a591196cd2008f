#pragma once

#include "engine/OperationLog.h"
#include "engine/TextFormats.h"

#include <filesystem>

namespace veskard::engine {

// The program's version as the log banner and the About title show it.
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 6;

// Replaces the log with the banner, the start time, the file and its size,
// ending with the load line ("装入文件...   …… OK！").
void writeEncryptHeader(OperationLog& log, const std::filesystem::path& source,
                        std::uint64_t size, TimePoint now, const TextFormats& formats);

// The two lines written between a successful load and the encryption.
void appendPasswordLines(OperationLog& log);

} // namespace veskard::engine
