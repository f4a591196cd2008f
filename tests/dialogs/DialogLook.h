#pragma once

#include "support/desktop/Keyboard.h"
#include <QAccessible>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace veskard::test {

// Looks for a control of the dialog by its design name.
template <typename Control> Control& control(QDialog& dialog, const char* name) {
    auto* found = dialog.findChild<Control*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no control ") + name);
    return *found;
}

// What every password dialog shares, checked on one shown: its size is
// fixed, its title bar has a close box and nothing else, it stands in the
// middle of the screen, the focus is in the password box, which masks with
// "*", and each control has the position of the design.
inline void expectDesignLook(QDialog& dialog, QSize clientSize,
                             const std::map<const char*, QRect>& controls) {
    EXPECT_EQ(dialog.size(), clientSize);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    // (Qt adds a system menu on X11, where it shows nothing; on Windows it
    // leaves it out of a dialog, which then has no icon.)
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowContextHelpButtonHint));
    const QImage icon = dialog.windowIcon().pixmap(16).toImage();
    EXPECT_FALSE(icon.isNull());
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            ASSERT_EQ(qAlpha(icon.pixel(x, y)), 0) << "the title bar shows no icon";
    const QPoint offCentre =
        dialog.frameGeometry().center() - dialog.screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2);

    for (const auto& [name, rect] : controls)
        EXPECT_EQ(control<QWidget>(dialog, name).geometry(), rect) << name;

    auto& box = control<QLineEdit>(dialog, "Text1");
    EXPECT_EQ(dialog.focusWidget(), &box);
    typeText(&box, QStringLiteral("密码"));
    EXPECT_EQ(box.displayText(), QStringLiteral("**"));
    box.clear();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&box);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), control<QLabel>(dialog, "Label1").text());
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
}

// The controls the Tab key visits, in order, starting from the focus.
inline QStringList tabOrder(QDialog& dialog) {
    QStringList order;
    QWidget* first = dialog.focusWidget();
    QWidget* widget = first;
    do {
        order.append(widget->objectName());
        widget = widget->nextInFocusChain();
        while (widget != first && !(widget->focusPolicy() & Qt::TabFocus))
            widget = widget->nextInFocusChain();
    } while (widget != first);
    return order;
}

} // namespace veskard::test
