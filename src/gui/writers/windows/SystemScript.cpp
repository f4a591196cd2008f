#include "gui/writers/SystemScript.h"

#include "platform/CodePage.h"
#include "texts/Texts.h"

#include <QFileInfo>

namespace veskard::gui {

QString systemScriptName(ScriptAction action) {
    return action == ScriptAction::Revert ? QString(texts::files::decryptBatch)
                                          : QString(texts::files::encryptBatch);
}

// The batch line names the program by its folder and the fixed name
// Veskard.exe, whatever the running file is called. The code page cmd.exe
// reads batch files in is the system's, fixed while the program runs.
Result<SystemScript> systemScript(ScriptAction action, const QString& program,
                                  const QString& fileName) {
    static const unsigned codePage = platform::consoleCodePage();
    const Result<QByteArray> text =
        batchScriptText(QFileInfo(program).absolutePath(), fileName, action, codePage);
    if (!text)
        return text.error();
    return SystemScript{systemScriptName(action), *text, platform::NewFileKind::Data};
}

} // namespace veskard::gui
