#include "ShownMainWindow.h"

#include "gui/mainwindow/MainWindowActions.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QSignalSpy>

namespace veskard::testing {
namespace {

using gui::FlatButton;
using gui::MainWindow;
using Look = FlatButton::Look;

// The buttons alone: what they report is watched, and no action runs.
class FlatButtonTest : public ShownMainWindow {
protected:
    FlatButtonTest() {
        QObject::disconnect(&window, &MainWindow::buttonReleased,
                            window.findChild<gui::MainWindowActions*>(), nullptr);
    }

    QLabel* icon(int index) {
        return button(index).findChild<QLabel*>(QStringLiteral("Image1(%1)").arg(index));
    }
    QLabel* caption(int index) {
        return button(index).findChild<QLabel*>(QStringLiteral("Label1(%1)").arg(index));
    }
    QColor captionColour(int index) {
        return caption(index)->palette().color(QPalette::WindowText);
    }

    // Where icon and caption stand now, to compare with where they stood.
    std::pair<QPoint, QPoint> content(int index) {
        return {icon(index)->pos(), caption(index) ? caption(index)->pos() : QPoint()};
    }
    static std::pair<QPoint, QPoint> shifted(std::pair<QPoint, QPoint> home) {
        const QPoint onePixel(1, 1);
        return {home.first + onePixel, home.second.isNull() ? QPoint() : home.second + onePixel};
    }

    QPoint outside(int index) { return {button(index).width() + 10, button(index).height() / 2}; }

    QSignalSpy released{&window, &MainWindow::buttonReleased};
};

// Captioned (1) and icon-only (0, 5, 6) buttons alike: hovered, pressed and
// released they run once and end at rest; a right click draws nothing and is
// only reported.
TEST_F(FlatButtonTest, AClickRunsTheButtonOnceAndARightClickDrawsNothing) {
    for (const int index : {1, 0, 5, 6}) {
        SCOPED_TRACE(index);
        FlatButton& flat = button(index);
        const bool captioned = index == 1;
        EXPECT_EQ(caption(index) != nullptr, captioned);
        const auto home = content(index);
        moveOnto(flat);
        EXPECT_EQ(flat.look(), Look::Highlighted);
        EXPECT_EQ(QWidget::mouseGrabber(), &flat);
        if (captioned) {
            EXPECT_EQ(captionColour(1), QColor(0x00, 0x00, 0xFF));
            moveOnto(*icon(1)); // over its own icon: nothing changes
            EXPECT_EQ(flat.look(), Look::Highlighted);
        }
        press(Qt::LeftButton, flat, flat.rect().center());
        EXPECT_EQ(flat.look(), Look::Pressed);
        EXPECT_EQ(content(index), shifted(home));
        EXPECT_TRUE(released.isEmpty());

        release(Qt::LeftButton, flat, flat.rect().center());
        EXPECT_EQ(released.takeFirst(),
                  (QList<QVariant>{index, QVariant::fromValue(Qt::LeftButton)}));
        EXPECT_EQ(flat.look(), Look::Rest);
        EXPECT_EQ(content(index), home);
        EXPECT_EQ(captionColour(1), QColor(Qt::black));
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "a dialog the action opens needs the mouse";

        moveTo(flat, flat.rect().center() + QPoint(1, 0)); // the next move highlights it again
        EXPECT_EQ(flat.look(), Look::Highlighted);
        press(Qt::RightButton, flat, flat.rect().center());
        release(Qt::RightButton, flat, flat.rect().center());
        EXPECT_EQ(flat.look(), Look::Highlighted);
        EXPECT_EQ(content(index), home);
        EXPECT_EQ(released.takeFirst(),
                  (QList<QVariant>{index, QVariant::fromValue(Qt::RightButton)}))
            << "reported, for the actions to ignore";
        moveTo(flat, outside(index));
    }
}

TEST_F(FlatButtonTest, DraggingOffCancelsThePressAndDraggingBackWithTheButtonHeldPressesAgain) {
    FlatButton& about = button(3);
    const auto home = content(3);

    moveOnto(about);
    press(Qt::LeftButton, about, about.rect().center());
    moveTo(about, outside(3));
    EXPECT_EQ(about.look(), Look::Rest);
    EXPECT_EQ(content(3), home);
    EXPECT_EQ(captionColour(3), QColor(Qt::black));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    moveOnto(about); // still held: highlighted first ...
    EXPECT_EQ(about.look(), Look::Highlighted);
    EXPECT_EQ(content(3), home);
    moveTo(about, about.rect().center() + QPoint(1, 0)); // ... pressed on the next move
    EXPECT_EQ(about.look(), Look::Pressed);
    EXPECT_EQ(content(3), shifted(home));
    moveTo(about, about.rect().center()); // pressed again: nothing moves further
    EXPECT_EQ(content(3), shifted(home));

    release(Qt::LeftButton, about, about.rect().center());
    EXPECT_EQ(released.size(), 1);
    EXPECT_EQ(content(3), home);

    // Dragged off and let go outside: nothing runs.
    moveOnto(about);
    press(Qt::LeftButton, about, about.rect().center());
    moveTo(about, outside(3));
    release(Qt::LeftButton, about, outside(3));
    EXPECT_EQ(released.size(), 1);
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

// Their names, roles and actions the screen-reader test reads (e2e); here,
// pressed through assistive technology a button runs after the reply has
// gone, drawn as at rest, and its state follows the mouse.
TEST_F(FlatButtonTest, AssistiveTechnologyPressesThemWithoutDrawingAndSeesHotAndPressed) {
    for (int index = 0; index < 8; ++index) {
        SCOPED_TRACE(index);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&button(index));
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->childCount(), 0);
        ASSERT_NE(face->actionInterface(), nullptr);
        const auto home = content(index);
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        ASSERT_TRUE(released.wait()) << "pressed once the reply has gone";
        EXPECT_EQ(released.takeFirst(),
                  (QList<QVariant>{index, QVariant::fromValue(Qt::NoButton)}));
        EXPECT_EQ(button(index).look(), Look::Rest);
        EXPECT_EQ(content(index), home);
    }

    FlatButton& generator = button(7);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&generator);
    moveOnto(generator);
    EXPECT_TRUE(face->state().hotTracked);
    EXPECT_FALSE(face->state().pressed);
    press(Qt::LeftButton, generator, generator.rect().center());
    EXPECT_TRUE(face->state().pressed);
    release(Qt::LeftButton, generator, generator.rect().center());
    EXPECT_FALSE(face->state().pressed);
}

// Disabled, a button rests greyed whatever it showed, gives the capture up,
// takes no click and no assistive press, and reads as unavailable. Enabled
// again, it is as it was.
TEST_F(FlatButtonTest, ADisabledButtonRestsGreyedAndTakesNoInput) {
    FlatButton& encrypt = button(1);
    const auto looks = [&] {
        return std::pair{caption(1)->grab().toImage(), icon(1)->grab().toImage()};
    };
    const auto enabledLooks = looks();
    moveOnto(encrypt);
    ASSERT_EQ(QWidget::mouseGrabber(), &encrypt);
    encrypt.setEnabled(false);
    EXPECT_EQ(encrypt.look(), Look::Rest);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "the window's clicks would all go to it";
    const auto [greyCaption, greyIcon] = looks();
    EXPECT_NE(greyIcon, enabledLooks.second);
    const auto darkest = [](const QImage& image) {
        int grey = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                grey = std::min(grey, qGray(image.pixel(x, y)));
        return grey;
    };
    EXPECT_LT(darkest(enabledLooks.first), 64);
    EXPECT_GT(darkest(greyCaption), 96) << "the caption is greyed";

    press(Qt::LeftButton, encrypt, encrypt.rect().center());
    EXPECT_EQ(encrypt.look(), Look::Rest);
    release(Qt::LeftButton, encrypt, encrypt.rect().center());
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&encrypt);
    EXPECT_TRUE(face->state().disabled);
    EXPECT_TRUE(face->actionInterface()->actionNames().isEmpty());
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_TRUE(released.isEmpty());

    encrypt.setEnabled(true);
    EXPECT_FALSE(face->state().disabled);
    EXPECT_EQ(looks(), enabledLooks);
    click(1);
    EXPECT_EQ(released.size(), 1);
}

} // namespace
} // namespace veskard::testing
