#include "gui/desktop/MessageBoxes.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace veskard;
using gui::Answer;
using gui::Buttons;
using gui::Icon;

// The real boxes: the program's title, the text as given, the icon, Qt's
// Chinese buttons; Enter answers No where Yes cannot be taken back.
TEST(QtMessageBoxes, ShowTheTextUnderTheProgramsTitleWithChineseButtons) {
    const struct {
        Icon icon;
        Buttons buttons;
        QMessageBox::Icon shown;
        QMessageBox::StandardButton pressed;
        const char* caption;
        Answer answer;
    } cases[] = {
        {Icon::Stop, Buttons::YesNo, QMessageBox::Critical, QMessageBox::No, "否", Answer::No},
        {Icon::Question, Buttons::YesNo, QMessageBox::Question, QMessageBox::Yes, "是",
         Answer::Yes},
        {Icon::Question, Buttons::YesNoDefaultNo, QMessageBox::Question, {}, nullptr, Answer::No},
        {Icon::Exclamation, Buttons::Ok, QMessageBox::Warning, QMessageBox::Ok, "确定", Answer::Ok},
    };
    gui::QtMessageBoxes boxes;
    const QString text = QStringLiteral("你输入的密码不正确，请重新输入！  ");
    for (const auto& c : cases) {
        test::NextDialog<QMessageBox> person([&](QMessageBox& box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Veskard"));
            EXPECT_EQ(box.text(), text);
            EXPECT_EQ(box.icon(), c.shown);
            if (!c.caption)
                return QTest::keyClick(&box, Qt::Key_Return);
            QAbstractButton* button = box.button(c.pressed);
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->text().startsWith(QString::fromUtf8(c.caption)));
            QTest::mouseClick(button, Qt::LeftButton);
        });
        EXPECT_EQ(boxes.show(nullptr, text, c.icon, c.buttons), c.answer);
    }
}

// The double the window tests rely on must fail them when a box differs from
// the script, comes unexpected, or never comes.
TEST(ScriptedMessageBoxes, FailsTheTestOnAnyBoxNotInTheScript) {
    EXPECT_NONFATAL_FAILURE(test::ScriptedMessageBoxes().show(nullptr, "a", Icon::Stop),
                            "unexpected message box");
    EXPECT_NONFATAL_FAILURE(test::ScriptedMessageBoxes().expect("a", Icon::Stop), "never shown");
    EXPECT_NONFATAL_FAILURE(
        {
            test::ScriptedMessageBoxes boxes;
            boxes.expect("a ", Icon::Stop, Buttons::YesNoDefaultNo, Answer::No);
            boxes.show(nullptr, "a", Icon::Stop, Buttons::YesNo);
        },
        "no by default");
}
