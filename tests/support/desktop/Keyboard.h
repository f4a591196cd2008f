#pragma once

#include <QTest>

namespace veskard::test {

// Types `text` into `widget` a character at a time, Chinese included (Qt
// Test's keyClicks knows only ASCII keys).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

} // namespace veskard::test
