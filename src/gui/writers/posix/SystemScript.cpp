#include "gui/writers/SystemScript.h"
#include "texts/Texts.h"

namespace veskard::gui {

QString systemScriptName(ScriptAction action) {
    return action == ScriptAction::Revert ? QString(texts::files::decryptShell)
                                          : QString(texts::files::encryptShell);
}

Result<SystemScript> systemScript(ScriptAction action, const QString& program,
                                  const QString& fileName) {
    return SystemScript{systemScriptName(action), shellScriptText(program, fileName, action),
                        platform::NewFileKind::Program};
}

} // namespace veskard::gui
