#include "gui/desktop/DesignLook.h"

#include "gui/desktop/Twips.h"

#include <QDialog>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>

#include <limits>

namespace veskard::gui {
namespace {

// An empty QIcon would fall back to the application's icon; a transparent one
// leaves the title bar bare.
QIcon noIcon() {
    QPixmap transparent(1, 1);
    transparent.fill(Qt::transparent);
    return QIcon(transparent);
}

} // namespace

QFont designFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("SimSun")});
    font.setPixelSize(11);
    return font;
}

void shapeFixedDialog(QDialog& dialog, int widthTwips, int heightTwips) {
    // A dialog with a close box but no system menu has no icon on Windows
    // either (a modal dialog frame).
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setWindowIcon(noIcon());
    dialog.setFixedSize(sizeInTwips(widthTwips, heightTwips));
    dialog.setFont(designFont());
}

void centreOnScreen(QWidget& window) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(window.screen()->availableGeometry().center());
    window.move(frame.topLeft());
}

// QLineEdit would cut anything past 32767 characters without a word, and the
// file would be locked with a password nobody typed. The box takes any
// length; whoever uses the password says when it is too long.
void makePasswordBox(QLineEdit& box) {
    box.setMaxLength(std::numeric_limits<int>::max());
    box.setEchoMode(QLineEdit::Password);
    box.setStyleSheet(QStringLiteral(
        "QLineEdit { lineedit-password-character: 42; lineedit-password-mask-delay: 0 }"));
}

void focusAndSelect(QLineEdit& box) {
    box.setFocus();
    box.selectAll();
}

} // namespace veskard::gui
