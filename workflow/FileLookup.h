#pragma once

#include "desktop/Paths.h"
#include "platform/DirectoryLookup.h"

#include <QString>

namespace veskard::workflow {

// Whether any file matches `path` (it may hold wildcards), hidden and system
// files included; folders never do.
inline bool anyFileMatches(const QString& path) {
    return platform::findFirstFile(desktop::toPath(path), platform::LookupMask::AllFiles)
        .has_value();
}

// The name of the file `path` names, without its folder; empty for a hidden
// or a system file, or when there is none.
inline QString visibleFileName(const QString& path) {
    const auto found = platform::findFirstFile(desktop::toPath(path), platform::LookupMask::Normal);
    return found ? desktop::fromPath(*found) : QString();
}

} // namespace veskard::workflow
