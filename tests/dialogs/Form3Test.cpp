#include "dialogs/Form3.h"

#include "DialogLook.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QPushButton>

#include <gtest/gtest.h>

using namespace veskard;
using desktop::Answer;
using desktop::Buttons;
using desktop::Icon;
using dialogs::Form3;

namespace {

class Form3Test : public testing::Test {
protected:
    // The dialog for a file locked with "Secret", shown to a person who acts
    // as `act` says; returns what the accepted password becomes.
    QString askWith(const QString& accepted, std::function<void(Form3&)> act) {
        Form3 dialog(QStringLiteral("Secret"), boxes);
        test::NextDialog<Form3> person(std::move(act));
        return dialog.ask(accepted);
    }

    void expectWrongPassword(Answer answer) {
        boxes.expect(Form3::WrongPasswordText, Icon::Stop, Buttons::YesNo, answer);
    }

    static QLineEdit& text1(Form3& dialog) { return test::control<QLineEdit>(dialog, "Text1"); }
    static QPushButton& button(Form3& dialog, const char* name) {
        return test::control<QPushButton>(dialog, name);
    }

    test::ScriptedMessageBoxes boxes;
};

} // namespace

// Centred on the screen even when its owner stands elsewhere.
TEST_F(Form3Test, IsLaidOutAsDesigned) {
    QWidget owner;
    owner.setGeometry(0, 0, 120, 90);
    owner.show();
    Form3 shown(QStringLiteral("Secret"), boxes, &owner);
    test::NextDialog<Form3> person([](Form3& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("输入密码"));
        EXPECT_EQ(test::control<QLabel>(dialog, "Label1").text(),
                  QStringLiteral("请输入文件密码："));
        EXPECT_EQ(button(dialog, "Command1").text(), QStringLiteral("确定"));
        EXPECT_EQ(button(dialog, "Command2").text(), QStringLiteral("取消"));
        // 4065 x 1665 twips; the controls' twips divided by 15.
        test::expectDesignLook(dialog, {271, 111},
                               {{"Label1", {8, 16, 153, 17}},
                                {"Text1", {8, 32, 249, 18}},
                                {"Command1", {40, 72, 81, 25}},
                                {"Command2", {136, 72, 89, 25}}});
        EXPECT_EQ(test::tabOrder(dialog), (QStringList{"Text1", "Command1", "Command2"}));
        EXPECT_FALSE(button(dialog, "Command1").isDefault());
        EXPECT_FALSE(button(dialog, "Command2").isDefault());
        dialog.close();
    });
    shown.ask({});
}

TEST_F(Form3Test, AcceptsOnlyTheStoredPasswordExactly) {
    expectWrongPassword(Answer::No);
    EXPECT_EQ(askWith(QStringLiteral("before"),
                      [](Form3& dialog) {
                          QTest::keyClicks(&text1(dialog), QStringLiteral("secret"));
                          QTest::keyClick(&text1(dialog), Qt::Key_Return);
                      }),
              QStringLiteral("before"))
        << "No after a wrong password keeps what was accepted";

    EXPECT_EQ(askWith({},
                      [](Form3& dialog) {
                          QTest::keyClicks(&text1(dialog), QStringLiteral("Secret"));
                          QTest::keyClick(&text1(dialog), Qt::Key_Enter);
                      }),
              QStringLiteral("Secret"));
}

TEST_F(Form3Test, YesAfterAWrongPasswordSelectsItForRetyping) {
    expectWrongPassword(Answer::Yes);
    EXPECT_EQ(askWith({},
                      [](Form3& dialog) {
                          QLineEdit& box = text1(dialog);
                          QTest::keyClicks(&box, QStringLiteral("wrong one"));
                          QTest::mouseClick(&button(dialog, "Command1"), Qt::LeftButton);
                          ASSERT_TRUE(dialog.isVisible());
                          EXPECT_EQ(dialog.focusWidget(), &box);
                          EXPECT_EQ(box.selectionStart(), 0);
                          EXPECT_EQ(box.selectionLength(), 9);
                          QTest::keyClicks(&box, QStringLiteral("Secret"));
                          QTest::keyClick(&box, Qt::Key_Return);
                      }),
              QStringLiteral("Secret"));
}

TEST_F(Form3Test, AnEmptyBoxIsRefusedAndCancelAcceptsNothing) {
    boxes.expect(Form3::EmptyPasswordText, Icon::Stop);
    EXPECT_EQ(askWith(QStringLiteral("before"),
                      [](Form3& dialog) {
                          QTest::mouseClick(&button(dialog, "Command1"), Qt::LeftButton);
                          ASSERT_TRUE(dialog.isVisible());
                          EXPECT_EQ(dialog.focusWidget(), &text1(dialog));
                          QTest::mouseClick(&button(dialog, "Command2"), Qt::LeftButton);
                      }),
              QString());
}

// Enter counts once on a focused button, when the key comes up; Esc is no
// key of this dialog; closing the window accepts nothing new.
TEST_F(Form3Test, AnswersTheKeysAsDesigned) {
    expectWrongPassword(Answer::Yes);
    EXPECT_EQ(askWith(QStringLiteral("before"),
                      [this](Form3& dialog) {
                          QTest::keyClicks(&text1(dialog), QStringLiteral("wrong"));
                          QPushButton& ok = button(dialog, "Command1");
                          ok.setFocus();
                          QTest::keyPress(&ok, Qt::Key_Return);
                          EXPECT_EQ(boxes.shown().size(), 0u) << "not yet on the key's way down";
                          QTest::keyRelease(&ok, Qt::Key_Return);
                          EXPECT_EQ(boxes.shown().size(), 1u);
                          QTest::keyClick(&dialog, Qt::Key_Escape);
                          ASSERT_TRUE(dialog.isVisible());
                          dialog.close();
                      }),
              QStringLiteral("before"));
}
