#include "gui/desktop/MessageBoxes.h"

#include <QMessageBox>

namespace veskard::gui {
namespace {

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Stop:
        return QMessageBox::Critical;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Answer MessageBoxes::show(QWidget* owner, const QString& text, Icon icon, Buttons buttons) {
    return present(owner, {QString::fromLatin1(Title), text, icon, buttons});
}

void MessageBoxes::tell(QWidget* owner, const engine::Notice& notice) {
    show(owner, QString::fromStdString(notice.text), notice.icon);
}

Answer QtMessageBoxes::present(QWidget* owner, const BoxContent& box) {
    const bool yesNo = box.buttons != Buttons::Ok;
    QMessageBox dialog(qtIcon(box.icon), box.title, box.text,
                       yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    if (box.buttons == Buttons::YesNoDefaultNo)
        dialog.setDefaultButton(QMessageBox::No);
    // Texts are shown as written: no markup, every blank kept.
    dialog.setTextFormat(Qt::PlainText);
    const int answer = dialog.exec();
    if (!yesNo)
        return Answer::Ok;
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

} // namespace veskard::gui
