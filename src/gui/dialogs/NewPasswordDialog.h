#pragma once

#include <QDialog>

class QLineEdit;

namespace veskard::gui {

// The set-password dialog of an unattended encryption: collects the password
// a file is to be locked with, and nothing else.
class NewPasswordDialog final : public QDialog {
    Q_OBJECT

public:
    // OK (or Enter); the window closed by the window system; Close (or Esc),
    // which asks to end the whole run.
    enum class Ending { Accepted, Closed, Quit };
    struct Outcome {
        Ending ending;
        QString password; // as typed, unexamined and possibly empty; empty unless Accepted
        bool operator==(const Outcome&) const = default;
    };

    explicit NewPasswordDialog(QWidget* parent = nullptr);

    // Shows the dialog modally and tells how it ended.
    Outcome ask();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* passwordEdit_;
};

} // namespace veskard::gui
