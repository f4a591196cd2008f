#include "gui/dialogs/PasswordPromptDialog.h"

#include "gui/desktop/DesignLook.h"
#include "gui/desktop/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace veskard::dialogs {
namespace {

bool isEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

} // namespace

const QString PasswordPromptDialog::EmptyPasswordText =
    QStringLiteral("你未输入密码，密码不能为空！");
const QString PasswordPromptDialog::WrongPasswordText =
    QStringLiteral("你输入的密码不正确，请重新输入！  ");

PasswordPromptDialog::PasswordPromptDialog(QString storedPassword, desktop::MessageBoxes& boxes,
                                           QWidget* parent)
    : QDialog(parent)
    , storedPassword_(std::move(storedPassword))
    , boxes_(boxes)
    , text1_(new QLineEdit(this))
    , command1_(new QPushButton(QStringLiteral("确定"), this))
    , command2_(new QPushButton(QStringLiteral("取消"), this)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("输入密码"));
    desktop::shapeFixedDialog(*this, 4065, 1665);

    auto* label1 = new QLabel(QStringLiteral("请输入文件密码："), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(desktop::rectInTwips(120, 240, 2295, 255));
    label1->setBuddy(text1_);

    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(desktop::rectInTwips(120, 480, 3735, 270));
    desktop::makePasswordBox(*text1_);

    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setGeometry(desktop::rectInTwips(600, 1080, 1215, 375));
    command2_->setObjectName(QStringLiteral("Command2"));
    command2_->setGeometry(desktop::rectInTwips(2040, 1080, 1335, 375));
    // Neither button is the default: Enter does only what is wired below.
    for (QPushButton* button : {command1_, command2_}) {
        button->setAutoDefault(false);
        button->installEventFilter(this);
    }
    setTabOrder(text1_, command1_);
    setTabOrder(command1_, command2_);

    connect(text1_, &QLineEdit::returnPressed, this, &PasswordPromptDialog::confirm);
    connect(command1_, &QPushButton::clicked, this, &PasswordPromptDialog::confirm);
    connect(command2_, &QPushButton::clicked, this, &PasswordPromptDialog::cancel);
}

QString PasswordPromptDialog::ask() {
    accepted_.clear();
    exec();
    return accepted_;
}

void PasswordPromptDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    desktop::centreOnScreen(*this);
    text1_->setFocus();
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
            if (watched == command1_)
                confirm();
            else if (watched == command2_)
                cancel();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PasswordPromptDialog::confirm() {
    const QString typed = text1_->text();
    if (typed.isEmpty()) {
        boxes_.show(this, EmptyPasswordText, desktop::Icon::Stop);
        text1_->setFocus();
        return;
    }
    if (typed != storedPassword_) {
        const desktop::Answer answer =
            boxes_.show(this, WrongPasswordText, desktop::Icon::Stop, desktop::Buttons::YesNo);
        if (answer == desktop::Answer::Yes)
            desktop::focusAndSelect(*text1_);
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

} // namespace veskard::dialogs
