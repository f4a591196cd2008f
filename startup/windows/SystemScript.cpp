#include "startup/SystemScript.h"

#include <QFileInfo>

namespace veskard::startup {

QString systemScriptName(ScriptAction action) {
    return action == ScriptAction::Encrypt ? QStringLiteral("加密.bat")
                                           : QStringLiteral("解密.bat");
}

// The batch line names the program by its folder and the fixed name
// Veskard.exe, whatever the running file is called.
SystemScript systemScript(ScriptAction action, const QString& program, const QString& FileName) {
    return {systemScriptName(action),
            batchScriptText(QFileInfo(program).absolutePath(), FileName, action),
            platform::NewFileKind::Data};
}

} // namespace veskard::startup
