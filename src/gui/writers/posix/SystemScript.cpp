#include "gui/writers/SystemScript.h"
#include "texts/Texts.h"

namespace veskard::gui {

QString systemScriptName(ScriptAction action) {
    return action == ScriptAction::Encrypt ? QString(texts::files::encryptShell)
                                           : QString(texts::files::decryptShell);
}

Result<SystemScript> systemScript(ScriptAction action, const QString& program,
                                  const QString& fileName) {
    return SystemScript{systemScriptName(action), shellScriptText(program, fileName, action),
                        platform::NewFileKind::Program};
}

} // namespace veskard::gui
