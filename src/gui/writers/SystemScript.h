#pragma once

#include "gui/writers/ScriptText.h"
#include "platform/Folder.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>

namespace veskard::gui {

// The script this system runs on a double click: batch files on Windows,
// shell scripts elsewhere.
struct SystemScript {
    QString name;               // its file name in the scripts' folder
    QByteArray text;            // its bytes
    platform::NewFileKind kind; // a program to be run, where the system asks
};

// The file name of the script for `action` on this system.
QString systemScriptName(ScriptAction action);

// The script for `action` that starts `program` (the executable's full path)
// on `fileName` (an absolute path), or why this system cannot have one (see
// batchScriptText).
Result<SystemScript> systemScript(ScriptAction action, const QString& program,
                                  const QString& fileName);

} // namespace veskard::gui
