#include "gui/dialogs/NewPasswordDialog.h"

#include "gui/desktop/DesignLook.h"
#include "gui/desktop/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace veskard::dialogs {

NewPasswordDialog::NewPasswordDialog(desktop::ProgramEnd& end, QWidget* parent)
    : QDialog(parent)
    , end_(end)
    , text1_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("设置密码"));
    desktop::shapeFixedDialog(*this, 4215, 1545);

    auto* label1 = new QLabel(QStringLiteral("请输入密码："), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(desktop::rectInTwips(240, 240, 1080, 180));
    label1->setBuddy(text1_);

    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(desktop::rectInTwips(240, 480, 3735, 270));
    desktop::makePasswordBox(*text1_);

    auto* command1 = new QPushButton(QStringLiteral("确定"), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setGeometry(desktop::rectInTwips(600, 960, 1215, 375));
    command1->setDefault(true);
    auto* command2 = new QPushButton(QStringLiteral("关闭"), this);
    command2->setObjectName(QStringLiteral("Command2"));
    command2->setGeometry(desktop::rectInTwips(2160, 960, 1335, 375));
    setTabOrder(text1_, command1);
    setTabOrder(command1, command2);

    connect(command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(command2, &QPushButton::clicked, this, &NewPasswordDialog::endProgram);
}

std::optional<QString> NewPasswordDialog::ask() {
    const int result = exec();
    if (ended_)
        return std::nullopt;
    return result == Accepted ? text1_->text() : QString();
}

void NewPasswordDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    desktop::centreOnScreen(*this);
    text1_->setFocus();
}

// Esc is the Close button's key; QDialog would merely reject.
void NewPasswordDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        endProgram();
        return;
    }
    QDialog::keyPressEvent(event);
}

void NewPasswordDialog::endProgram() {
    ended_ = true;
    end_.now(desktop::ExitFailure);
    reject();
}

} // namespace veskard::dialogs
