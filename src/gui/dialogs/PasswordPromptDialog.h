#pragma once

#include "gui/desktop/MessageBoxes.h"
#include "gui/dialogs/PasswordChecker.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace veskard::gui {

// The enter-password dialog: asks for the password of an enciphered file and
// has `check` tell whether it opens the file. It deciphers nothing.
class PasswordPromptDialog final : public QDialog {
    Q_OBJECT

public:
    PasswordPromptDialog(PasswordChecker check, MessageBoxes& boxes, QWidget* parent = nullptr);

    // Shows the dialog modally and returns the password accepted: the typed
    // text once it is right, or the empty text after Cancel, No to a wrong
    // password, a check that could not be made, or the window closed.
    QString ask();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void confirm();
    void cancel();

    PasswordChecker check_;
    MessageBoxes& boxes_;
    QLineEdit* passwordEdit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QString accepted_;
};

} // namespace veskard::gui
