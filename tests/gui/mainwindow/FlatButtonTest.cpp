#include "ShownMainWindow.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

namespace veskard::testing {
namespace {

using gui::FlatButton;
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
    // What a button shows, and whether its caption shows blue.
    QImage face(int index) { return button(index).grab().toImage(); }
    bool blue(int index) {
        const QImage image = face(index);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (const QRgb c = image.pixel(x, y); qBlue(c) > 200 && qRed(c) + qGreen(c) < 100)
                    return true;
        return false;
    }
    void mouse(Qt::MouseButton mouseButton, int index) {
        press(mouseButton, button(index), button(index).rect().center());
        release(mouseButton, button(index), button(index).rect().center());
    }
    QPoint outside(int index) { return {button(index).width() + 10, button(index).height() / 2}; }

    QList<int> clicked;
};

// Captioned (1, blue while lit) and icon-only (0, 5, 6) alike: lit, pressed
// and released they run once and end at rest, giving the capture up; a right
// click runs and draws nothing; the middle button clicks as the left does.
// Dragged off, a press ends; dragged back, the button held, it goes on.
TEST_F(FlatButtonTest, AClickRunsOnceADragOffNothingAndARightClickNothing) {
    for (const int index : {1, 0, 5, 6}) {
        SCOPED_TRACE(index);
        FlatButton& flat = button(index);
        const QImage home = face(index);
        moveOnto(flat);
        const QImage lit = face(index);
        EXPECT_EQ(QWidget::mouseGrabber(), &flat);
        EXPECT_EQ(blue(index), index == 1);
        press(Qt::LeftButton, flat, flat.rect().center());
        const QImage pressed = face(index);
        EXPECT_TRUE(home != lit && lit != pressed && clicked.isEmpty());
        moveTo(flat, outside(index));
        EXPECT_EQ(face(index), home);
        moveOnto(flat); // still held: lit first, pressed on the next move
        moveTo(flat, flat.rect().center() + QPoint(1, 0));
        EXPECT_EQ(face(index), pressed);
        release(Qt::LeftButton, flat, flat.rect().center());
        EXPECT_EQ(clicked.takeFirst(), index);
        EXPECT_EQ(face(index), home);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "a dialog the action opens needs the mouse";

        moveTo(flat, flat.rect().center() + QPoint(1, 0)); // the next move lights it again
        mouse(Qt::RightButton, index);
        EXPECT_EQ(face(index), lit);
        EXPECT_TRUE(clicked.isEmpty());
        mouse(Qt::MiddleButton, index);
        EXPECT_EQ(clicked.takeFirst(), index);
        moveOnto(flat);
        press(Qt::LeftButton, flat, flat.rect().center());
        moveTo(flat, outside(index));
        release(Qt::LeftButton, flat, outside(index));
        EXPECT_TRUE(clicked.isEmpty()) << "let go outside";
    }
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
    EXPECT_EQ(QWidget::mouseGrabber(), &button(7));
}

// Each reads as a push button named by its caption, with one action, Press,
// which runs it after the reply and draws nothing; held down by the mouse, it
// reads as pressed. Disabled, it rests greyed, gives the capture up, takes no
// click and no press, and reads so; enabled again, it is as it was.
TEST_F(FlatButtonTest, AssistiveTechnologyPressesThemAndADisabledOneTakesNoInput) {
    const char* names[] = {"选择加密文件", "确认加密",     "关闭(C)", "关于程序",
                           "保存报告",     "选择解密文件", "解密",    "随机密码"};
    for (int index = 0; index < 8; ++index) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&button(index));
        EXPECT_EQ(face->role(), QAccessible::Button);
        EXPECT_EQ(face->text(QAccessible::Name), names[index]);
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
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTest::qWait(150);
    EXPECT_TRUE(clicked.isEmpty() && face->state().disabled);
    EXPECT_EQ(this->face(1), grey);

    encrypt.setEnabled(true);
    EXPECT_EQ(this->face(1), enabled);
    click(1);
    EXPECT_EQ(clicked, QList<int>{1});
}

} // namespace
} // namespace veskard::testing
