#include "gui/desktop/MessageBoxes.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace veskard;
using gui::Answer;
using gui::Buttons;
using gui::Icon;

namespace {

QAbstractButton* buttonOf(QMessageBox& box, QMessageBox::StandardButton which) {
    QAbstractButton* button = box.button(which);
    EXPECT_NE(button, nullptr);
    return button;
}

} // namespace

// The real boxes: Qt's Chinese buttons, the program's title, the text as given.
TEST(QtMessageBoxes, ShowTheTextUnderTheProgramsTitleWithChineseButtons) {
    gui::QtMessageBoxes boxes;
    const QString text = QStringLiteral("你输入的密码不正确，请重新输入！  ");
    {
        test::NextDialog<QMessageBox> person([&](QMessageBox& box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Veskard"));
            EXPECT_EQ(box.text(), text);
            EXPECT_EQ(box.icon(), QMessageBox::Critical);
            EXPECT_TRUE(buttonOf(box, QMessageBox::Yes)->text().startsWith(QStringLiteral("是")));
            QAbstractButton* no = buttonOf(box, QMessageBox::No);
            EXPECT_TRUE(no->text().startsWith(QStringLiteral("否")));
            QTest::mouseClick(no, Qt::LeftButton);
        });
        EXPECT_EQ(boxes.show(nullptr, text, Icon::Stop, Buttons::YesNo), Answer::No);
    }
    {
        // Enter answers the question whose Yes cannot be taken back with No.
        test::NextDialog<QMessageBox> person([&](QMessageBox& box) {
            EXPECT_EQ(box.icon(), QMessageBox::Question);
            EXPECT_EQ(static_cast<QAbstractButton*>(box.defaultButton()),
                      buttonOf(box, QMessageBox::No));
            QTest::keyClick(&box, Qt::Key_Return);
        });
        EXPECT_EQ(boxes.show(nullptr, text, Icon::Question, Buttons::YesNoDefaultNo), Answer::No);
    }
    test::NextDialog<QMessageBox> person([](QMessageBox& box) {
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        QAbstractButton* ok = buttonOf(box, QMessageBox::Ok);
        EXPECT_EQ(ok->text(), QStringLiteral("确定"));
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_EQ(boxes.show(nullptr, QStringLiteral("加密成功！！  "), Icon::Exclamation), Answer::Ok);
}

// The double the window tests rely on must fail them when a box differs from
// the script, comes unexpected, or never comes.
TEST(ScriptedMessageBoxes, FailsTheTestOnAnyBoxNotInTheScript) {
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScriptedMessageBoxes boxes;
            boxes.show(nullptr, QStringLiteral("a"), Icon::Stop);
        },
        "unexpected message box");
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScriptedMessageBoxes boxes;
            boxes.expect(QStringLiteral("a"), Icon::Stop);
        },
        "never shown");
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScriptedMessageBoxes boxes;
            boxes.expect(QStringLiteral("a "), Icon::Stop, Buttons::YesNo, Answer::Yes);
            boxes.show(nullptr, QStringLiteral("a"), Icon::Stop, Buttons::YesNo);
        },
        "a ");
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScriptedMessageBoxes boxes;
            boxes.expect(QStringLiteral("a"), Icon::Stop, Buttons::YesNoDefaultNo, Answer::Yes);
            boxes.show(nullptr, QStringLiteral("a"), Icon::Stop, Buttons::YesNo);
        },
        "no by default");
    test::ScriptedMessageBoxes boxes;
    boxes.expect(QStringLiteral("a"), Icon::Question, Buttons::YesNo, Answer::Yes);
    EXPECT_EQ(boxes.show(nullptr, QStringLiteral("a"), Icon::Question, Buttons::YesNo),
              Answer::Yes);
}
