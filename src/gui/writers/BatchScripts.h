#pragma once

#include "engine/JobStatus.h"
#include "engine/LockKind.h"

#include <QString>

namespace veskard::gui {

// After a file has been enciphered as `kind`: writes the scripts that lock it
// again of that kind ("加密") and unlock it ("解密") without the main window,
// as chosen, into a new folder beside it named after the file without its
// last four characters (D:\work\plan.doc gives D:\work\plan). `program` is
// the running executable's full path, QCoreApplication::applicationFilePath().
// A relative `fileName` is taken from the current folder; the scripts name it
// in full.
//
// Nothing happens when neither script is wanted. The folder is made anew and
// the scripts are written through it, never through a link another user put
// in its place. The failures, each with its notice() for the user (none for
// the silent ones):
// - FileError::NotAVisibleFile: the file is missing, hidden or a system file;
//   nothing is created. Shown.
// - FileError::NameTooShort: its name has fewer than four characters; nothing
//   is created. Shown.
// - FileError::FileNameNotInCodePage, FileError::ProgramFolderNotInCodePage:
//   a batch file's command cannot name the file or the program in the code
//   page cmd.exe reads it in; nothing is created. Shown.
// - FileError::NoBaseName: the name has four characters, and the folder would
//   be the file's own; nothing is written. Told with noBaseNameNotice().
// - FileError::ScriptFolderTaken: the folder's name is taken already (by
//   anything, a link included); nothing is written there and what it holds
//   stays. Told with scriptFolderTakenNotice().
// - PlatformError::FolderReplaced: the new folder's name came to stand for
//   something else before it could be held; nothing is written. Shown.
// - the system's error when the folder cannot be created or a script cannot be
//   written (the folder then stays): silent when access was refused, else shown.
engine::JobStatus writeScripts(bool writeEncrypt, bool writeDecrypt, const QString& fileName,
                               const QString& program,
                               engine::LockKind kind = engine::LockKind::Classic);

} // namespace veskard::gui
