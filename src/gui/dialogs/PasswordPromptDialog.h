#pragma once

#include "gui/desktop/MessageBoxes.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace veskard::gui {

// The enter-password dialog: asks for the password of an enciphered file and
// compares it with the one stored in the file. It deciphers nothing.
class PasswordPromptDialog final : public QDialog {
    Q_OBJECT

public:
    PasswordPromptDialog(QString storedPassword, MessageBoxes& boxes, QWidget* parent = nullptr);

    // Shows the dialog modally and returns the password accepted: the typed
    // text once it equals the stored password exactly, or the empty text
    // after Cancel, No to a wrong password, or the window closed.
    QString ask();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void confirm();
    void cancel();

    QString storedPassword_;
    MessageBoxes& boxes_;
    QLineEdit* passwordEdit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QString accepted_;
};

} // namespace veskard::gui
