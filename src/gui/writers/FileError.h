#pragma once

#include "engine/JobStatus.h"
#include "engine/Notice.h"

#include <QString>

#include <optional>
#include <system_error>

namespace veskard::gui {

// Why writing the scripts or the report failed, where the system has no error
// of its own for it.
enum class FileError {
    ScriptFolderTaken = 1,      // the scripts' folder exists already
    NoBaseName,                 // a four-character name: the folder would be the file's own
    NotAVisibleFile,            // no plain file of that name: missing, hidden or a system file
    NameTooShort,               // a name of fewer than four characters leaves no base name
    FileNameNotInCodePage,      // a batch line cannot name the file in cmd.exe's code page
    ProgramFolderNotInCodePage, // nor the program's folder
    EditorNotStarted,           // no text editor could be started to show the report
};

const std::error_category& fileErrorCategory();

inline std::error_code make_error_code(FileError error) {
    return {static_cast<int>(error), fileErrorCategory()};
}

// What the user is told when the scripts or the report could not be written:
// nothing for a refused path or file access, else the failure's description
// followed by "！    ".
std::optional<engine::Notice> fileFailureNotice(std::error_code error);
// A failed file action with that notice.
engine::JobStatus fileFailure(std::error_code error);

// The file was locked, but no scripts were written, as the folder for them
// was there before: whatever it holds, perhaps scripts another user put
// there, did not come from this lock.
engine::Notice scriptFolderTakenNotice(const QString& folder);
// The file was locked, but its name less its last four characters leaves no
// name for the scripts' folder: none were written.
engine::Notice noBaseNameNotice(const QString& name);

} // namespace veskard::gui

template <> struct std::is_error_code_enum<veskard::gui::FileError> : std::true_type {};
