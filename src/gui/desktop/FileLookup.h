#pragma once

#include "gui/desktop/Paths.h"
#include "platform/DirectoryLookup.h"
#include "platform/File.h"
#include "platform/PlatformError.h"

#include <QString>

namespace veskard::gui {

enum class Found { File, NotAFile, Nothing };

// What `path` (relative to the current folder) names: a file, hidden and
// system files included; something that is there but no file to lock (a
// folder, a FIFO, a device); or nothing, as does a name the system rejects.
// On Windows the name may hold the wildcards * and ?, and any file matching
// counts.
inline Found lookUp(const QString& path) {
    if (platform::findFirstFile(toPath(path), platform::LookupMask::AllFiles))
        return Found::File;
    const bool notAFile =
        platform::regularFileState(toPath(path)).error() == platform::PlatformError::NotRegularFile;
    return notAFile ? Found::NotAFile : Found::Nothing;
}

// The name of the file `path` names, without its folder; empty for a hidden
// or a system file, or when there is none.
inline QString visibleFileName(const QString& path) {
    const auto found = platform::findFirstFile(toPath(path), platform::LookupMask::Normal);
    return found ? fromPath(*found) : QString();
}

} // namespace veskard::gui
