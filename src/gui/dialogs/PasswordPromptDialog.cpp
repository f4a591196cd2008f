#include "gui/dialogs/PasswordPromptDialog.h"

#include "gui/desktop/DesignLook.h"
#include "gui/desktop/Twips.h"
#include "texts/Texts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace veskard::gui {
namespace {

bool isEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

} // namespace

PasswordPromptDialog::PasswordPromptDialog(PasswordChecker check, MessageBoxes& boxes,
                                           QWidget* parent)
    : QDialog(parent)
    , check_(std::move(check))
    , boxes_(boxes)
    , passwordEdit_(new QLineEdit(this))
    , okButton_(new QPushButton(QString(texts::common::ok), this))
    , cancelButton_(new QPushButton(QString(texts::common::cancel), this)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QString(texts::passwordPrompt::caption));
    shapeFixedDialog(*this, 4065, 1665);

    auto* promptLabel = new QLabel(QString(texts::passwordPrompt::prompt), this);
    promptLabel->setObjectName(QStringLiteral("Label1"));
    promptLabel->setGeometry(rectInTwips(120, 240, 2295, 255));
    promptLabel->setBuddy(passwordEdit_);

    passwordEdit_->setObjectName(QStringLiteral("Text1"));
    passwordEdit_->setGeometry(rectInTwips(120, 480, 3735, 270));
    makePasswordBox(*passwordEdit_);

    okButton_->setObjectName(QStringLiteral("Command1"));
    okButton_->setGeometry(rectInTwips(600, 1080, 1215, 375));
    cancelButton_->setObjectName(QStringLiteral("Command2"));
    cancelButton_->setGeometry(rectInTwips(2040, 1080, 1335, 375));
    // Neither button is the default: Enter does only what is wired below.
    for (QPushButton* button : {okButton_, cancelButton_}) {
        button->setAutoDefault(false);
        button->installEventFilter(this);
    }
    setTabOrder(passwordEdit_, okButton_);
    setTabOrder(okButton_, cancelButton_);

    connect(passwordEdit_, &QLineEdit::returnPressed, this, &PasswordPromptDialog::confirm);
    connect(okButton_, &QPushButton::clicked, this, &PasswordPromptDialog::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &PasswordPromptDialog::cancel);
}

QString PasswordPromptDialog::ask() {
    accepted_.clear();
    exec();
    return accepted_;
}

void PasswordPromptDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(*this);
    passwordEdit_->setFocus();
}

// Esc does nothing here: the dialog has no cancel button.
void PasswordPromptDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(event);
}

// A focused button answers Enter when the key comes up.
bool PasswordPromptDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (isEnter(key) && !key.isAutoRepeat()) {
            if (watched == okButton_)
                confirm();
            else if (watched == cancelButton_)
                cancel();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PasswordPromptDialog::confirm() {
    const QString typed = passwordEdit_->text();
    if (typed.isEmpty()) {
        boxes_.show(this, QString(texts::passwordPrompt::empty), Icon::Stop);
        passwordEdit_->setFocus();
        return;
    }
    // A strong lock's check takes a second, in an event loop of its own:
    // nothing is typed or pressed meanwhile. Closed meanwhile, the dialog
    // accepts nothing.
    setEnabled(false);
    const PasswordVerdict verdict = check_(typed);
    setEnabled(true);
    if (verdict == PasswordVerdict::Unknown || !isVisible()) {
        reject();
        return;
    }
    if (verdict == PasswordVerdict::Wrong) {
        const Answer answer =
            boxes_.show(this, QString(texts::passwordPrompt::wrong), Icon::Stop, Buttons::YesNo);
        if (answer == Answer::Yes)
            focusAndSelect(*passwordEdit_);
        else
            reject();
        return;
    }
    accepted_ = typed;
    accept();
}

void PasswordPromptDialog::cancel() {
    reject();
}

} // namespace veskard::gui
