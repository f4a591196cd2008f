#include "dialogs/Form4.h"

#include "DialogLook.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/RecordingShell.h"

#include <QPushButton>

#include <gtest/gtest.h>

using namespace veskard;
using dialogs::Form4;

namespace {

class Form4Test : public testing::Test {
protected:
    std::optional<QString> askWith(std::function<void(Form4&)> act) {
        Form4 dialog(end);
        test::NextDialog<Form4> person(std::move(act));
        return dialog.ask();
    }

    static QLineEdit& text1(Form4& dialog) { return test::control<QLineEdit>(dialog, "Text1"); }
    static QPushButton& button(Form4& dialog, const char* name) {
        return test::control<QPushButton>(dialog, name);
    }

    test::RecordingProgramEnd end;
};

} // namespace

TEST_F(Form4Test, IsLaidOutAsDesigned) {
    askWith([](Form4& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("设置密码"));
        EXPECT_EQ(test::control<QLabel>(dialog, "Label1").text(), QStringLiteral("请输入密码："));
        EXPECT_EQ(button(dialog, "Command1").text(), QStringLiteral("确定"));
        EXPECT_EQ(button(dialog, "Command2").text(), QStringLiteral("关闭"));
        // 4215 x 1545 twips; the controls' twips divided by 15.
        test::expectDesignLook(dialog, {281, 103},
                               {{"Label1", {16, 16, 72, 12}},
                                {"Text1", {16, 32, 249, 18}},
                                {"Command1", {40, 64, 81, 25}},
                                {"Command2", {144, 64, 89, 25}}});
        EXPECT_EQ(test::tabOrder(dialog), (QStringList{"Text1", "Command1", "Command2"}));
        dialog.close();
    });
}

// The password is handed back unexamined, empty too; closing the window
// hands back the empty text.
TEST_F(Form4Test, HandsBackWhatWasTyped) {
    EXPECT_EQ(askWith([](Form4& dialog) {
                  test::typeText(&text1(dialog), QStringLiteral("新 Password"));
                  QTest::keyClick(&text1(dialog), Qt::Key_Return);
              }),
              QStringLiteral("新 Password"));
    EXPECT_EQ(askWith([](Form4& dialog) {
                  QTest::mouseClick(&button(dialog, "Command1"), Qt::LeftButton);
              }),
              QString());
    EXPECT_EQ(askWith([](Form4& dialog) {
                  QTest::keyClicks(&text1(dialog), QStringLiteral("typed"));
                  dialog.close();
              }),
              QString());
    EXPECT_FALSE(end.status.has_value());
}

TEST_F(Form4Test, CloseAndEscEndTheProgram) {
    EXPECT_EQ(askWith([](Form4& dialog) {
                  QTest::keyClicks(&text1(dialog), QStringLiteral("typed"));
                  QTest::mouseClick(&button(dialog, "Command2"), Qt::LeftButton);
              }),
              std::nullopt);
    EXPECT_EQ(end.status, desktop::ExitFailure);
    end.status.reset();
    EXPECT_EQ(askWith([](Form4& dialog) { QTest::keyClick(&text1(dialog), Qt::Key_Escape); }),
              std::nullopt);
    EXPECT_EQ(end.status, desktop::ExitFailure);
}
