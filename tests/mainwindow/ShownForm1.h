#pragma once

#include "mainwindow/FlatButton.h"
#include "mainwindow/Form1.h"

#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace veskard::testing {

// The main window as the program shows it: loaded with its icon buttons.
// The mouse acts through the window system, so that the capture and the held
// buttons count as they do for a person.
class ShownForm1 : public ::testing::Test {
protected:
    void SetUp() override {
        window.createIconButtons();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    FlatButton& button(int index) { return *window.controls().Frame1[index]; }

    QPoint inWindow(const QWidget& widget, QPoint local) const {
        return widget.mapTo(&window, local);
    }
    void moveTo(const QWidget& widget, QPoint local) {
        QTest::mouseMove(window.windowHandle(), inWindow(widget, local));
    }
    void moveOnto(const QWidget& widget) { moveTo(widget, widget.rect().center()); }
    void press(Qt::MouseButton mouseButton, const QWidget& widget, QPoint local) {
        QTest::mousePress(window.windowHandle(), mouseButton, {}, inWindow(widget, local));
    }
    void release(Qt::MouseButton mouseButton, const QWidget& widget, QPoint local) {
        QTest::mouseRelease(window.windowHandle(), mouseButton, {}, inWindow(widget, local));
    }

private:
    // The offscreen platform cannot grab the pointer and says so at every
    // capture; the window still routes the mouse to the capturing button.
    // Quiet from before the window is made until after it is gone.
    class QuietAboutGrabs {
    public:
        QuietAboutGrabs() { previous_ = qInstallMessageHandler(&filter); }
        ~QuietAboutGrabs() { qInstallMessageHandler(previous_); }

    private:
        static void filter(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
            if (!message.startsWith(QLatin1String("This plugin does not support grabbing")))
                previous_(type, context, message);
        }
        static inline QtMessageHandler previous_ = nullptr;
    };
    QuietAboutGrabs quiet_;

protected:
    Form1 window;
};

} // namespace veskard::testing
