#pragma once

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

namespace veskard::test {

// Types `text` into `widget` a character at a time, Chinese included (Qt
// Test's keyClicks knows only ASCII keys).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

// Pastes `text` into `widget` with Ctrl+V, as a person does with a text too
// long to type.
inline void pasteText(QWidget* widget, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
}

// A person at a password dialog who types `password` into its box and presses Enter.
inline auto typing(const QString& password) {
    return [password](QWidget& dialog) {
        auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
        typeText(box, password);
        QTest::keyClick(box, Qt::Key_Return);
    };
}

} // namespace veskard::test
