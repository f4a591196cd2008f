#pragma once

#include "engine/OperationLog.h"
#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "platform/Clock.h"

#include <filesystem>

namespace veskard::engine {

// What the jobs draw on, passed in so that tests can pin the clock and the draws.
struct JobEnvironment {
    OperationLog& log;
    const platform::Clock& clock;
    RandomSource& random;
    const TextFormats& formats;
};

// Whether two paths name one file (the same name, or two names of one file).
bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The file a path leads to through symbolic links: replacing that, not the
// link, is what writing to the path means.
std::filesystem::path followLinks(const std::filesystem::path& path);

} // namespace veskard::engine
