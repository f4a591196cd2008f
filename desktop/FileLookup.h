#pragma once

#include "desktop/Paths.h"
#include "platform/DirectoryLookup.h"

#include <QString>

namespace veskard::desktop {

// Whether any file matches `path` (relative to the current folder; it may
// hold the wildcards * and ?), hidden and system files included. Folders
// never do, nor does a name the system rejects.
inline bool anyFileMatches(const QString& path) {
    return platform::findFirstFile(toPath(path), platform::LookupMask::AllFiles).has_value();
}

// The name of the file `path` names, without its folder; empty for a hidden
// or a system file, or when there is none.
inline QString visibleFileName(const QString& path) {
    const auto found = platform::findFirstFile(toPath(path), platform::LookupMask::Normal);
    return found ? fromPath(*found) : QString();
}

} // namespace veskard::desktop
