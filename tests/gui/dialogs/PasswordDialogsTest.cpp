#include "gui/dialogs/NewPasswordDialog.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "support/desktop/Keyboard.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

// The enter-password dialog (PasswordPromptDialog) and the set-password dialog
// (NewPasswordDialog) on their own. How the runs that use them go with each
// answer, the unattended run's and the main window's tests show.
using namespace veskard;
using gui::Answer;
using gui::Buttons;
using gui::Icon;
using gui::NewPasswordDialog;
using gui::PasswordPromptDialog;

namespace {

template <typename Control> Control& control(QDialog& dialog, const char* name) {
    auto* found = dialog.findChild<Control*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no control ") + name);
    return *found;
}
QLineEdit& passwordEdit(QDialog& dialog) {
    return control<QLineEdit>(dialog, "Text1");
}
QPushButton& button(QDialog& dialog, const char* name) {
    return control<QPushButton>(dialog, name);
}

struct Design {
    const char* title;
    const char* label;
    const char* cancel;
    QSize clientSize;
    std::map<const char*, QRect> controls;
};

// What both dialogs share, checked on one shown: its texts, its size fixed,
// a close box and nothing else in its title bar, which shows no icon; it
// stands in the middle of the screen, its controls where the design puts
// them, Tab going from the password box to the two buttons; the focus is in
// the password box, which masks with "*" and is named by its label.
void expectDesign(QDialog& dialog, const Design& design) {
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(design.title));
    EXPECT_EQ(control<QLabel>(dialog, "Label1").text(), QString::fromUtf8(design.label));
    EXPECT_EQ(button(dialog, "Command1").text(), QStringLiteral("确定"));
    EXPECT_EQ(button(dialog, "Command2").text(), QString::fromUtf8(design.cancel));
    EXPECT_EQ(dialog.size(), design.clientSize);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    // (Qt adds a system menu on X11, where it shows nothing; on Windows it
    // leaves it out of a dialog, which then has no icon.)
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowContextHelpButtonHint));
    const QImage icon = dialog.windowIcon().pixmap(16).toImage();
    EXPECT_FALSE(icon.isNull());
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            ASSERT_EQ(qAlpha(icon.pixel(x, y)), 0) << "the title bar shows no icon";
    const QPoint offCentre =
        dialog.frameGeometry().center() - dialog.screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2);
    for (const auto& [name, rect] : design.controls)
        EXPECT_EQ(control<QWidget>(dialog, name).geometry(), rect) << name;

    QLineEdit& box = passwordEdit(dialog);
    EXPECT_EQ(dialog.focusWidget(), &box);
    QStringList tabOrder;
    QWidget* widget = &box;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            tabOrder << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != &box);
    EXPECT_EQ(tabOrder, (QStringList{"Text1", "Command1", "Command2"}));
    QTest::keyClicks(&box, QStringLiteral("pw"));
    EXPECT_EQ(box.displayText(), QStringLiteral("**"));
    box.clear();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&box)->text(QAccessible::Name),
              control<QLabel>(dialog, "Label1").text());
    dialog.close();
}

class PasswordDialogs : public testing::Test {
protected:
    // The prompt for a file locked with `stored`, shown to a person who acts as
    // `act` says; returns the password it accepted.
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

// The prompt is centred on the screen even when its owner stands elsewhere.
// 4065 x 1665 and 4215 x 1545 twips; the controls' twips divided by 15.
TEST_F(PasswordDialogs, AreLaidOutAsDesigned) {
    QWidget owner;
    owner.setGeometry(0, 0, 120, 90);
    owner.show();
    PasswordPromptDialog prompt(QStringLiteral("Secret"), boxes, &owner);
    {
        test::NextDialog<PasswordPromptDialog> person([](PasswordPromptDialog& dialog) {
            EXPECT_FALSE(button(dialog, "Command1").isDefault());
            EXPECT_FALSE(button(dialog, "Command2").isDefault());
            expectDesign(dialog, {"输入密码",
                                  "请输入文件密码：",
                                  "取消",
                                  {271, 111},
                                  {{"Label1", {8, 16, 153, 17}},
                                   {"Text1", {8, 32, 249, 18}},
                                   {"Command1", {40, 72, 81, 25}},
                                   {"Command2", {136, 72, 89, 25}}}});
        });
        prompt.ask();
    }
    askNewPassword([](NewPasswordDialog& dialog) {
        expectDesign(dialog, {"设置密码",
                              "请输入密码：",
                              "关闭",
                              {281, 103},
                              {{"Label1", {16, 16, 72, 12}},
                               {"Text1", {16, 32, 249, 18}},
                               {"Command1", {40, 64, 81, 25}},
                               {"Command2", {144, 64, 89, 25}}}});
    });
}

// Only the stored password, exactly; a wrong one is asked about, and Yes
// selects it for retyping. Enter on the keypad counts as Enter. An empty box
// is refused, and Cancel accepts nothing. Enter counts once on a focused
// button, when the key comes up; Esc is no key of this dialog; closing the
// window accepts nothing.
TEST_F(PasswordDialogs, PromptAcceptsOnlyTheStoredPasswordAndAnswersTheKeysAsDesigned) {
    boxes.expect(PasswordPromptDialog::WrongPasswordText, Icon::Stop, Buttons::YesNo, Answer::Yes);
    EXPECT_EQ(askPrompt([](PasswordPromptDialog& dialog) {
                  QLineEdit& box = passwordEdit(dialog);
                  QTest::keyClicks(&box, QStringLiteral("secret"));
                  QTest::mouseClick(&button(dialog, "Command1"), Qt::LeftButton);
                  ASSERT_TRUE(dialog.isVisible());
                  EXPECT_EQ(dialog.focusWidget(), &box);
                  EXPECT_EQ(box.selectionStart(), 0);
                  EXPECT_EQ(box.selectionLength(), 6);
                  QTest::keyClicks(&box, QStringLiteral("Secret"));
                  QTest::keyClick(&box, Qt::Key_Enter);
              }),
              QStringLiteral("Secret"));
    boxes.expect(PasswordPromptDialog::EmptyPasswordText, Icon::Stop);
    EXPECT_EQ(askPrompt([](PasswordPromptDialog& dialog) {
                  QTest::mouseClick(&button(dialog, "Command1"), Qt::LeftButton);
                  ASSERT_TRUE(dialog.isVisible());
                  EXPECT_EQ(dialog.focusWidget(), &passwordEdit(dialog));
                  QTest::mouseClick(&button(dialog, "Command2"), Qt::LeftButton);
              }),
              QString());
    boxes.expect(PasswordPromptDialog::WrongPasswordText, Icon::Stop, Buttons::YesNo, Answer::Yes);
    EXPECT_EQ(askPrompt([this](PasswordPromptDialog& dialog) {
                  const std::size_t shown = boxes.shown().size();
                  QTest::keyClicks(&passwordEdit(dialog), QStringLiteral("wrong"));
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
                      test::pasteText(&passwordEdit(dialog), longest);
                      QTest::keyClick(&passwordEdit(dialog), Qt::Key_Return);
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
            QTest::keyClicks(&passwordEdit(dialog), QStringLiteral("typed"));
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
