#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

namespace veskard::gui {

// What a script beside an enciphered file does: "加密" locks the file again,
// strongly after a strong lock; "解密" unlocks it, of either kind.
enum class ScriptAction { Encrypt, EncryptStrongly, Revert };

// A blank-free rough short form of a Windows path, so that a batch line can
// name the program without quotation marks: within each part between
// backslashes every blank goes, and a part still longer than eight characters
// keeps its first six and gets "~1". Empty parts stay, so a trailing
// backslash survives. Not the system's own short name, which may differ.
QString shortPath(const QString& path);

// The batch script for Windows, with CR LF between its lines and none after
// the last: three comment lines (a rule, the product, the file), an empty
// line, and the line that starts Veskard.exe from `programFolder` with "/e/s",
// "/e/k/s" or "/r/s" and `fileName`. The file name stands without quotation marks, as
// the program takes everything after the first blank for it; the characters
// cmd.exe would act on are escaped.
//
// It is in `codePage`, the one cmd.exe reads it in (the system's OEM code
// page; 936 on Chinese systems): in any other, the second byte of a
// double-byte character could be taken for | or another character cmd.exe
// acts on. A comment may show a question mark for a character the code page
// lacks; the last line may not, and then there is no script:
// FileError::ProgramFolderNotInCodePage or FileError::FileNameNotInCodePage.
Result<QByteArray> batchScriptText(const QString& programFolder, const QString& fileName,
                                   ScriptAction action, unsigned codePage);

// The shell script for POSIX systems, in the locale's encoding (UTF-8) with LF line ends:
// "#!/bin/sh", the same three comments, an empty line, and one line that enters the folder of
// `fileName` (an absolute path) and starts `program` (the executable's full path) with the
// switches the batch script has and the file's bare name, each quoted for the shell.
QByteArray shellScriptText(const QString& program, const QString& fileName, ScriptAction action);

} // namespace veskard::gui
