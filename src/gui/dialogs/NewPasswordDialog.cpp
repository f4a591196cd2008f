#include "gui/dialogs/NewPasswordDialog.h"

#include "gui/desktop/DesignLook.h"
#include "gui/desktop/Twips.h"
#include "texts/Texts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace veskard::gui {
namespace {

// What exec() returns after Close, beside QDialog's Accepted and Rejected.
constexpr int QuitResult = QDialog::Accepted + 1;

} // namespace

NewPasswordDialog::NewPasswordDialog(QWidget* parent)
    : QDialog(parent)
    , passwordEdit_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QString(texts::newPassword::caption));
    shapeFixedDialog(*this, 4215, 1545);

    auto* promptLabel = new QLabel(QString(texts::newPassword::prompt), this);
    promptLabel->setObjectName(QStringLiteral("Label1"));
    promptLabel->setGeometry(rectInTwips(240, 240, 1080, 180));
    promptLabel->setBuddy(passwordEdit_);

    passwordEdit_->setObjectName(QStringLiteral("Text1"));
    passwordEdit_->setGeometry(rectInTwips(240, 480, 3735, 270));
    makePasswordBox(*passwordEdit_);

    auto* okButton = new QPushButton(QString(texts::common::ok), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setGeometry(rectInTwips(600, 960, 1215, 375));
    okButton->setDefault(true);
    auto* closeButton = new QPushButton(QString(texts::common::close), this);
    closeButton->setObjectName(QStringLiteral("Command2"));
    closeButton->setGeometry(rectInTwips(2160, 960, 1335, 375));
    setTabOrder(passwordEdit_, okButton);
    setTabOrder(okButton, closeButton);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(closeButton, &QPushButton::clicked, this, [this] { done(QuitResult); });
}

NewPasswordDialog::Outcome NewPasswordDialog::ask() {
    switch (exec()) {
    case Accepted:
        return {Ending::Accepted, passwordEdit_->text()};
    case QuitResult:
        return {Ending::Quit, {}};
    default:
        return {Ending::Closed, {}};
    }
}

void NewPasswordDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(*this);
    passwordEdit_->setFocus();
}

// Esc is the Close button's key; QDialog would merely reject.
void NewPasswordDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        done(QuitResult);
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace veskard::gui
