#pragma once

#include "gui/desktop/ProgramEnd.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace veskard::gui {

// The set-password dialog of an unattended encryption: collects the password
// a file is to be locked with, and nothing else.
class NewPasswordDialog final : public QDialog {
    Q_OBJECT

public:
    explicit NewPasswordDialog(ProgramEnd& end, QWidget* parent = nullptr);

    // Shows the dialog modally and returns the typed password after OK (or
    // Enter), unexamined and possibly empty; the empty text when the window
    // was closed. Close (or Esc) ends the program with ExitFailure instead;
    // nothing is returned then, should the end come back at all (a test's).
    std::optional<QString> ask();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void endProgram();

    ProgramEnd& end_;
    QLineEdit* passwordEdit_;
    bool ended_ = false;
};

} // namespace veskard::gui
