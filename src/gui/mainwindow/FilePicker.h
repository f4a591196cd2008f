#pragma once

#include "gui/desktop/FilePickers.h"
#include "gui/desktop/MessageBoxes.h"

#include <QString>

class QWidget;

namespace veskard::gui {

struct MainWindowControls;

// The main window's current operation; a save dialog takes its source by it.
enum class OpKind { None = 0, Encrypt = 1, Decrypt = 4 };

enum class PickMode { Open, Save };

// The main window's one way of asking for a path, in an open or a save dialog
// over the window that starts in the folder of the file to encrypt.
class FilePicker {
public:
    FilePicker(QWidget& owner, const MainWindowControls& controls, FilePickers& pickers,
               MessageBoxes& boxes);

    // The chosen path, or the empty text when the person cancelled or the
    // name cannot be trusted (it is then refused with a message).
    //
    // A save dialog is about a source file: the file to encrypt while
    // encrypting, else the locked file chosen for decrypting. It lists only
    // files that end as the source's name does (its last three characters),
    // offers the source's name when the file is a visible one, and a chosen
    // path that ends otherwise gets those characters added after a dot
    // (report gives report.txt for a .txt source).
    QString pickFile(PickMode mode, OpKind opKind) const;

private:
    QString save(OpKind opKind) const;
    QString checked(const QString& picked) const;

    QWidget& owner_;
    const MainWindowControls& controls_;
    FilePickers& pickers_;
    MessageBoxes& boxes_;
};

} // namespace veskard::gui
