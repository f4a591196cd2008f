#include "ShownMainWindow.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>

namespace veskard::testing {
namespace {

using gui::FlatButton;
using gui::MainWindow;
using Look = FlatButton::Look;

// The buttons alone: their clicks are counted, and no action runs.
class FlatButtonTest : public ShownMainWindow {
protected:
    void SetUp() override {
        ShownMainWindow::SetUp();
        for (int index = 0; index < 8; ++index) {
            QObject::disconnect(&button(index), &FlatButton::clicked, &window, nullptr);
            QObject::connect(&button(index), &FlatButton::clicked,
                             [this, index] { clicked << index; });
        }
    }
    // What a button shows, to compare with what it showed.
    QImage face(int index) { return button(index).grab().toImage(); }
    static bool blue(const QImage& image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (const QRgb c = image.pixel(x, y); qBlue(c) > 200 && qRed(c) + qGreen(c) < 100)
                    return true;
        return false;
    }
    QPoint outside(int index) { return {button(index).width() + 10, button(index).height() / 2}; }

    QList<int> clicked;
};

// Captioned (1, caption blue while lit) and icon-only (0, 5, 6) alike: hovered,
// pressed and released they run once and end at rest; a right click runs and
// draws nothing; the middle button clicks as the left one does.
TEST_F(FlatButtonTest, AClickRunsTheButtonOnceAndARightClickNothing) {
    for (const int index : {1, 0, 5, 6}) {
        SCOPED_TRACE(index);
        FlatButton& flat = button(index);
        const QImage home = face(index);
        moveOnto(flat);
        const QImage lit = face(index);
        EXPECT_EQ(flat.look(), Look::Highlighted);
        EXPECT_EQ(QWidget::mouseGrabber(), &flat);
        EXPECT_EQ(blue(lit), index == 1);
        EXPECT_NE(lit, home);
        press(Qt::LeftButton, flat, flat.rect().center());
        EXPECT_EQ(flat.look(), Look::Pressed);
        EXPECT_NE(face(index), lit);
        EXPECT_TRUE(clicked.isEmpty());
        release(Qt::LeftButton, flat, flat.rect().center());
        EXPECT_EQ(clicked.takeFirst(), index);
        EXPECT_EQ(face(index), home);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "a dialog the action opens needs the mouse";

        moveTo(flat, flat.rect().center() + QPoint(1, 0)); // the next move lights it again
        press(Qt::RightButton, flat, flat.rect().center());
        release(Qt::RightButton, flat, flat.rect().center());
        EXPECT_EQ(face(index), lit);
        EXPECT_TRUE(clicked.isEmpty());
        press(Qt::MiddleButton, flat, flat.rect().center());
        release(Qt::MiddleButton, flat, flat.rect().center());
        EXPECT_EQ(clicked.takeFirst(), index);
        moveTo(flat, outside(index));
    }
}

TEST_F(FlatButtonTest, DraggingOffCancelsThePressAndDraggingBackWithTheButtonHeldPressesAgain) {
    FlatButton& about = button(3);
    const QImage home = face(3);
    moveOnto(about);
    press(Qt::LeftButton, about, about.rect().center());
    const QImage pressed = face(3);
    moveTo(about, outside(3));
    EXPECT_EQ(face(3), home);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    moveOnto(about); // still held: lit first ...
    EXPECT_EQ(about.look(), Look::Highlighted);
    moveTo(about, about.rect().center() + QPoint(1, 0)); // ... pressed on the next move
    EXPECT_EQ(face(3), pressed);
    moveTo(about, about.rect().center()); // pressed again: nothing moves further
    EXPECT_EQ(face(3), pressed);
    release(Qt::LeftButton, about, about.rect().center());
    EXPECT_EQ(clicked, QList<int>{3});

    // Dragged off and let go outside: nothing runs.
    moveOnto(about);
    press(Qt::LeftButton, about, about.rect().center());
    moveTo(about, outside(3));
    release(Qt::LeftButton, about, outside(3));
    EXPECT_EQ(clicked, QList<int>{3});
    EXPECT_EQ(about.look(), Look::Rest);
}

// The pixel just past the right and bottom edge still counts; moving straight
// onto the next button hands the highlight over.
TEST_F(FlatButtonTest, TheEdgesCountAsDesignedAndTheHighlightIsHandedOver) {
    FlatButton& close = button(2);
    moveOnto(close);
    moveTo(close, {close.width(), close.height()});
    EXPECT_EQ(close.look(), Look::Highlighted);
    moveTo(close, {close.width() + 1, close.height()});
    EXPECT_EQ(close.look(), Look::Rest);
    moveOnto(close);
    moveTo(close, {close.width(), close.height() + 1});
    EXPECT_EQ(close.look(), Look::Rest);

    moveOnto(button(1));
    moveOnto(button(7)); // reported to button 1, which holds the capture
    EXPECT_EQ(button(1).look(), Look::Rest);
    moveTo(button(7), button(7).rect().center() + QPoint(1, 0));
    EXPECT_EQ(button(7).look(), Look::Highlighted);
    EXPECT_EQ(QWidget::mouseGrabber(), &button(7));
}

// Each reads as a push button named by its caption, with one action, Press,
// which runs it after the reply has gone and draws nothing; held down by the
// mouse, it reads as pressed. Disabled, it rests greyed, gives the capture up,
// takes no click and no press, and reads as unavailable; enabled again, it is
// as it was.
TEST_F(FlatButtonTest, AssistiveTechnologyPressesThemAndADisabledOneTakesNoInput) {
    const char* names[] = {"选择加密文件", "确认加密",     "关闭(C)", "关于程序",
                           "保存报告",     "选择解密文件", "解密",    "随机密码"};
    for (int index = 0; index < 8; ++index) {
        SCOPED_TRACE(index);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&button(index));
        EXPECT_EQ(face->role(), QAccessible::Button);
        EXPECT_EQ(face->text(QAccessible::Name), names[index]);
        EXPECT_EQ(button(index).objectName(), QStringLiteral("Frame1(%1)").arg(index));
        EXPECT_EQ(face->actionInterface()->actionNames(),
                  QStringList{QAccessibleActionInterface::pressAction()});
        const QImage home = this->face(index);
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(clicked.isEmpty());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !clicked.isEmpty(); }));
        EXPECT_EQ(clicked.takeFirst(), index);
        EXPECT_EQ(this->face(index), home);
    }
    FlatButton& encrypt = button(1);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&encrypt);
    const QImage enabled = this->face(1);
    moveOnto(encrypt);
    press(Qt::LeftButton, encrypt, encrypt.rect().center());
    EXPECT_TRUE(face->state().pressed);
    encrypt.setEnabled(false);
    EXPECT_FALSE(face->state().pressed);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "the window's clicks would all go to it";
    const QImage grey = this->face(1);
    EXPECT_NE(grey, enabled);
    release(Qt::LeftButton, encrypt, encrypt.rect().center());
    click(1);
    EXPECT_EQ(this->face(1), grey);
    EXPECT_TRUE(face->state().disabled);
    EXPECT_TRUE(face->actionInterface()->actionNames().isEmpty());
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTest::qWait(150);
    EXPECT_TRUE(clicked.isEmpty());

    encrypt.setEnabled(true);
    EXPECT_EQ(this->face(1), enabled);
    click(1);
    EXPECT_EQ(clicked, QList<int>{1});
}

} // namespace
} // namespace veskard::testing
