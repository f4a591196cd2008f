#pragma once

#include "engine/JobStatus.h"
#include "gui/desktop/ProgramFiles.h"
#include "gui/desktop/Shell.h"
#include "texts/Texts.h"

#include <QString>

namespace veskard::gui {

inline constexpr auto ReportFileName = texts::files::report;

// Adds the operation log `log` (lines ending in CR LF) to the report file
// "Encrypt_Info.txt" among the files the program writes, then shows that file
// in the text editor. The file is a history of entries, each closed by CR LF,
// 41 hyphens and CR LF, in the system's 8-bit encoding. The first entry of an
// empty or new file is the log with the blanks at its ends removed; later ones
// leave out the banner line (they start with the line break that ended it) and
// are not trimmed.
//
// Failures, each with its notice() for the user: the system's error when the
// file cannot be opened or written (silent when access was refused, else
// shown, as for a link or a file of another user's in its place, which is
// never written: platform::File::openProgramFile; a failed write takes back
// what it had added), and
// FileError::EditorNotStarted (shown) after the entry was added, which stays.
engine::JobStatus saveReport(const QString& log, const ProgramFiles& files, Shell& shell);

} // namespace veskard::gui
