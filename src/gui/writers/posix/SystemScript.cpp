#include "gui/writers/SystemScript.h"

namespace veskard::gui {

QString systemScriptName(ScriptAction action) {
    return action == ScriptAction::Encrypt ? QStringLiteral("加密.sh") : QStringLiteral("解密.sh");
}

Result<SystemScript> systemScript(ScriptAction action, const QString& program,
                                  const QString& fileName) {
    return SystemScript{systemScriptName(action), shellScriptText(program, fileName, action),
                        platform::NewFileKind::Program};
}

} // namespace veskard::gui
