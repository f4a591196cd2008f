#include "gui/dialogs/NewPasswordDialog.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "support/desktop/ScriptedDesktop.h"
#include "texts/Texts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace veskard;
using gui::Answer;
using gui::Buttons;
using gui::Icon;
using gui::NewPasswordDialog;
using gui::PasswordPromptDialog;
using gui::PasswordVerdict;

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
        return askPrompt(std::move(act), [stored](const QString& typed) {
            return typed == stored ? PasswordVerdict::Right : PasswordVerdict::Wrong;
        });
    }
    QString askPrompt(std::function<void(PasswordPromptDialog&)> act, gui::PasswordChecker check) {
        PasswordPromptDialog dialog(std::move(check), boxes);
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

// Only the stored password, exactly, shown masked; a wrong one is asked
// about, and Yes selects it for retyping. An empty box is refused, Cancel and
// closing accept nothing; Enter presses a focused button, Esc does nothing.
// The longest password a record holds, as the command line may have locked
// a file with it, is taken whole. A check that cannot be made, or a dialog
// closed while it is made, accepts nothing.
TEST_F(PasswordDialogs, PromptAcceptsOnlyTheStoredPasswordAndAnswersTheKeysAsDesigned) {
    boxes.expect(QString(texts::passwordPrompt::wrong), Icon::Stop, Buttons::YesNo, Answer::Yes);
    EXPECT_EQ(askPrompt([](PasswordPromptDialog& dialog) {
                  QTest::keyClicks(&box(dialog), QStringLiteral("secret"));
                  EXPECT_EQ(box(dialog).displayText(), QStringLiteral("******"));
                  QTest::mouseClick(&button(dialog, "Command1"), Qt::LeftButton);
                  EXPECT_EQ(box(dialog).selectedText(), QStringLiteral("secret"));
                  QTest::keyClicks(&box(dialog), QStringLiteral("Secret"));
                  QTest::keyClick(&box(dialog), Qt::Key_Enter); // the keypad's
              }),
              QStringLiteral("Secret"));
    boxes.expect(QString(texts::passwordPrompt::empty), Icon::Stop);
    boxes.expect(QString(texts::passwordPrompt::wrong), Icon::Stop, Buttons::YesNo, Answer::Yes);
    EXPECT_EQ(askPrompt([](PasswordPromptDialog& dialog) {
                  QTest::mouseClick(&button(dialog, "Command1"), Qt::LeftButton);
                  QTest::keyClicks(&box(dialog), QStringLiteral("wrong"));
                  button(dialog, "Command1").setFocus();
                  QTest::keyClick(&button(dialog, "Command1"), Qt::Key_Return);
                  QTest::keyClick(&dialog, Qt::Key_Escape);
                  ASSERT_TRUE(dialog.isVisible());
                  QTest::mouseClick(&button(dialog, "Command2"), Qt::LeftButton);
              }),
              QString());
    EXPECT_EQ(askPrompt([](PasswordPromptDialog& dialog) { dialog.close(); }), QString());

    const QString longest(65'535, u'密');
    EXPECT_EQ(askPrompt(
                  [&](PasswordPromptDialog& dialog) {
                      test::pasteText(&box(dialog), longest);
                      QTest::keyClick(&box(dialog), Qt::Key_Return);
                  },
                  longest),
              longest);

    PasswordPromptDialog* shown = nullptr;
    for (const PasswordVerdict last : {PasswordVerdict::Unknown, PasswordVerdict::Right})
        EXPECT_EQ(askPrompt(
                      [&](PasswordPromptDialog& dialog) {
                          shown = &dialog;
                          test::typing(QStringLiteral("Secret"))(dialog);
                      },
                      [&](const QString&) {
                          if (last == PasswordVerdict::Right)
                              shown->close();
                          return last;
                      }),
                  QString());
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
