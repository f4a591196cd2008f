#include "gui/dialogs/NewPasswordDialog.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "support/desktop/Keyboard.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// The two password dialogs' keys and answers; their look is in the window
// design test, the runs that use them in the unattended run's and the main
// window's tests.
using namespace veskard;
using gui::Answer;
using gui::Buttons;
using gui::Icon;
using gui::NewPasswordDialog;
using gui::PasswordPromptDialog;

namespace {

QLineEdit& box(QDialog& dialog) {
    return *dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
}
QPushButton& button(QDialog& dialog, const char* name) {
    return *dialog.findChild<QPushButton*>(QLatin1String(name));
}

class PasswordDialogs : public testing::Test {
protected:
    // The prompt for a file locked with `stored`, answered by `act`; what it accepted.
    QString askPrompt(std::function<void(PasswordPromptDialog&)> act,
                      const QString& stored = QStringLiteral("Secret")) {
        PasswordPromptDialog dialog(stored, boxes);
        test::NextDialog<PasswordPromptDialog> person(std::move(act));
        return dialog.ask();
    }
    NewPasswordDialog::Outcome askNewPassword(std::function<void(NewPasswordDialog&)> act) {
        NewPasswordDialog dialog;
        test::NextDialog<NewPasswordDialog> person(std::move(act));
        return dialog.ask();
    }

    test::ScriptedMessageBoxes boxes;
};

} // namespace

// Only the stored password, exactly; a wrong one is asked about, and Yes
// selects it for retyping. An empty box is refused, Cancel and closing accept
// nothing; Enter counts on a focused button when the key comes up, and Esc is
// no key of this dialog.
TEST_F(PasswordDialogs, PromptAcceptsOnlyTheStoredPasswordAndAnswersTheKeysAsDesigned) {
    boxes.expect(PasswordPromptDialog::WrongPasswordText, Icon::Stop, Buttons::YesNo, Answer::Yes);
    EXPECT_EQ(askPrompt([](PasswordPromptDialog& dialog) {
                  QTest::keyClicks(&box(dialog), QStringLiteral("secret"));
                  EXPECT_EQ(box(dialog).displayText(), QStringLiteral("******"));
                  EXPECT_EQ(
                      QAccessible::queryAccessibleInterface(&box(dialog))->text(QAccessible::Name),
                      dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text());
                  QTest::mouseClick(&button(dialog, "Command1"), Qt::LeftButton);
                  ASSERT_TRUE(dialog.isVisible());
                  EXPECT_EQ(dialog.focusWidget(), &box(dialog));
                  EXPECT_EQ(box(dialog).selectedText(), QStringLiteral("secret"));
                  QTest::keyClicks(&box(dialog), QStringLiteral("Secret"));
                  QTest::keyClick(&box(dialog), Qt::Key_Enter); // the keypad's
              }),
              QStringLiteral("Secret"));
    boxes.expect(PasswordPromptDialog::EmptyPasswordText, Icon::Stop);
    EXPECT_EQ(askPrompt([](PasswordPromptDialog& dialog) {
                  QTest::mouseClick(&button(dialog, "Command1"), Qt::LeftButton);
                  ASSERT_TRUE(dialog.isVisible());
                  QTest::mouseClick(&button(dialog, "Command2"), Qt::LeftButton);
              }),
              QString());
    boxes.expect(PasswordPromptDialog::WrongPasswordText, Icon::Stop, Buttons::YesNo, Answer::Yes);
    EXPECT_EQ(askPrompt([this](PasswordPromptDialog& dialog) {
                  const std::size_t shown = boxes.shown().size();
                  QTest::keyClicks(&box(dialog), QStringLiteral("wrong"));
                  QPushButton& ok = button(dialog, "Command1");
                  ok.setFocus();
                  QTest::keyPress(&ok, Qt::Key_Return);
                  EXPECT_EQ(boxes.shown().size(), shown) << "not yet on the key's way down";
                  QTest::keyRelease(&ok, Qt::Key_Return);
                  EXPECT_EQ(boxes.shown().size(), shown + 1);
                  QTest::keyClick(&dialog, Qt::Key_Escape);
                  ASSERT_TRUE(dialog.isVisible());
                  dialog.close();
              }),
              QString());

    // The longest password a record holds, as the command line may have
    // locked a file with it, is taken whole.
    const QString longest(65'535, u'密');
    EXPECT_EQ(askPrompt(
                  [&](PasswordPromptDialog& dialog) {
                      test::pasteText(&box(dialog), longest);
                      QTest::keyClick(&box(dialog), Qt::Key_Return);
                  },
                  longest),
              longest);
}

// OK hands back the text as typed, closing the window the empty text; Close
// and Esc end the run.
TEST_F(PasswordDialogs, NewPasswordTellsHowItEnded) {
    using Ending = NewPasswordDialog::Ending;
    const auto typedThen = [](std::function<void(NewPasswordDialog&)> end) {
        return [end](NewPasswordDialog& dialog) {
            QTest::keyClicks(&box(dialog), QStringLiteral("typed"));
            end(dialog);
        };
    };
    const std::pair<std::function<void(NewPasswordDialog&)>, NewPasswordDialog::Outcome> cases[] = {
        {test::typing(QStringLiteral(" typed ")), {Ending::Accepted, QStringLiteral(" typed ")}},
        {typedThen([](NewPasswordDialog& dialog) { dialog.close(); }), {Ending::Closed, {}}},
        {typedThen([](NewPasswordDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }),
         {Ending::Quit, {}}},
        {typedThen([](NewPasswordDialog& dialog) {
             QTest::mouseClick(&button(dialog, "Command2"), Qt::LeftButton);
         }),
         {Ending::Quit, {}}},
    };
    for (const auto& [act, outcome] : cases)
        EXPECT_EQ(askNewPassword(act), outcome);
}
