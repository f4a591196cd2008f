#pragma once

#include <QString>

class QWidget;

namespace veskard::gui {

// Other programs the windows hand things to, without waiting for them.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document or an address with the desktop's default program for
    // it. False when no program could be started.
    virtual bool openWithDefaultProgram(QWidget* owner, const QString& documentOrAddress) = 0;
    // Shows a text file in the system's plain text editor.
    virtual bool openInTextEditor(const QString& path) = 0;
};

// On Linux both go to the desktop's default handler; on Windows to
// ShellExecute and NOTEPAD.EXE.
class DesktopShell final : public Shell {
public:
    bool openWithDefaultProgram(QWidget* owner, const QString& documentOrAddress) override;
    bool openInTextEditor(const QString& path) override;
};

} // namespace veskard::gui
