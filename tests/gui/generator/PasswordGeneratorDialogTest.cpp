#include "gui/generator/PasswordGeneratorDialog.h"
#include "gui/generator/PasswordList.h"
#include "support/FixedClock.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"
#include "support/desktop/ScriptedDesktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::PasswordGeneratorDialog;
using gui::PasswordList;

class PasswordGeneratorDialogTest : public ::testing::Test, protected ScriptedDesktop {
protected:
    PasswordGeneratorDialogTest() {
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    template <typename Control> Control* control(const char* name, int index) {
        return window_.findChild<Control*>(QStringLiteral("%1(%2)").arg(name).arg(index));
    }
    QLineEdit* box(int index) { return control<QLineEdit>("Text1", index); }
    QScrollBar* spinner(int index) { return control<QScrollBar>("VScroll1", index); }
    QCheckBox* tick(int index) { return control<QCheckBox>("Check1", index); }
    QPushButton* button(PasswordGeneratorDialog::Button which) {
        return control<QPushButton>("Command1", which);
    }
    PasswordList* list() { return window_.findChild<PasswordList*>(QStringLiteral("List1")); }

    void clickArrow(QScrollBar* bar, bool up) {
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          QPoint(bar->width() / 2, up ? 2 : bar->height() - 3));
    }

    // Types into a number box as a person would, the box emptied first.
    void type(int index, const QString& text) {
        box(index)->clear();
        QTest::keyClicks(box(index), text);
    }

    void generate(const QString& length, const QString& count, int expected) {
        type(0, length);
        type(1, count);
        QTest::mouseClick(button(PasswordGeneratorDialog::Generate), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return list()->count() == expected; }));
    }

    void clickEntry(int row, Qt::KeyboardModifiers modifiers = {}) {
        const QRect entry = list()->visualItemRect(list()->item(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, entry.center());
    }

    TempFolder folder_;
    const QString home_ = QString::fromStdString(folder_.path().string());
    gui::Desktop desktop_ = with({home_, home_, {}});
    // Digits only: 0.05 draws '0', 0.15 '1' and so on.
    ScriptedRandom random_{{0.05f, 0.15f, 0.25f, 0.35f, 0.45f, 0.55f, 0.65f, 0.75f, 0.85f}};
    FixedClock clock_{localTime(2024, 3, 1, 9, 30, 0)};
    engine::FixedTextFormats formats_;
    PasswordGeneratorDialog window_{nullptr, desktop_, random_, clock_, formats_};
};

// The spinners' range and the box beside each are ours; which texts a box
// takes, the generator's model decides (and its tests show).
TEST_F(PasswordGeneratorDialogTest, SpinnersAndNumberBoxesKeepInStepWithoutMovingTheCaret) {
    for (const QCheckBox* tick : window_.findChildren<QCheckBox*>())
        EXPECT_TRUE(tick->isChecked()) << "every class, at first";
    clickArrow(spinner(0), true);
    EXPECT_EQ(box(0)->text(), QStringLiteral("1"));
    clickArrow(spinner(0), false);
    EXPECT_EQ(box(0)->text(), QString()) << "0 is not a length";
    for (int i = 0; i < 1001; ++i)
        QTest::keyClick(spinner(1), Qt::Key_Up);
    EXPECT_EQ(box(1)->text(), QStringLiteral("1000"));
    EXPECT_EQ(box(0)->text(), QString()) << "each spinner has its own box";

    type(0, QStringLiteral("12"));
    EXPECT_EQ(spinner(0)->value(), -12);
    QTest::keyClick(box(0), Qt::Key_Home);
    QTest::keyClick(box(0), Qt::Key_3);
    EXPECT_EQ(box(0)->text(), QStringLiteral("312"));
    EXPECT_EQ(box(0)->cursorPosition(), 1);
}

TEST_F(PasswordGeneratorDialogTest, ButtonsWaitForAClickIntoTheListAndARefusalEmptiesIt) {
    for (int i : {0, 1, 3})
        tick(i)->setChecked(false);
    generate(QStringLiteral("3"), QStringLiteral("3"), 3);
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("012"));
    const auto enabled = [this] {
        return button(PasswordGeneratorDialog::Add)->isEnabled() +
               button(PasswordGeneratorDialog::Save)->isEnabled() +
               button(PasswordGeneratorDialog::Copy)->isEnabled();
    };
    EXPECT_EQ(enabled(), 0);
    clickEntry(1);
    EXPECT_EQ(enabled(), 3);
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(list()->toolTip(), QStringLiteral("678"));

    // A new list: with nothing chosen in it yet, 添加 has nothing to hand over.
    generate(QStringLiteral("6"), {}, 1);
    QTest::mouseClick(button(PasswordGeneratorDialog::Add), Qt::LeftButton);
    EXPECT_TRUE(window_.isVisible());

    tick(2)->setChecked(false);
    boxes.expect(engine::refusalNotice(engine::Refusal::NoClasses));
    QTest::mouseClick(button(PasswordGeneratorDialog::Generate), Qt::LeftButton);
    EXPECT_EQ(list()->count(), 0);
}

// Save appends a record of the selection to paw.txt and opens it, Copy puts
// the selection on the clipboard (an empty selection: an empty line, an empty
// clipboard), and Add hands the current password back and closes.
TEST_F(PasswordGeneratorDialogTest, TheSelectionIsSavedCopiedAndTheCurrentPasswordAdded) {
    generate(QStringLiteral("4"), QStringLiteral("3"), 3);
    const QString first = list()->item(0)->text(), third = list()->item(2)->text();
    clickEntry(0);
    clickEntry(2, Qt::ControlModifier);
    QTest::mouseClick(button(PasswordGeneratorDialog::Save), Qt::LeftButton);
    QTest::mouseClick(button(PasswordGeneratorDialog::Copy), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), first + QStringLiteral("\r\n") + third);
    list()->clearSelection();
    QTest::mouseClick(button(PasswordGeneratorDialog::Save), Qt::LeftButton);
    QTest::mouseClick(button(PasswordGeneratorDialog::Copy), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());

    const QString path = QDir::fromNativeSeparators(home_) + "/paw.txt";
    EXPECT_EQ(shell.inEditor, (std::vector<QString>{path, path}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QStringLiteral("\r\n"));
    // Two records: the date and time, the selected passwords; the date and
    // time, one empty line for an empty selection. The last line ends in CR
    // LF too.
    const QString time = QStringLiteral("2024-03-01 09:30:00");
    EXPECT_EQ(lines, (QStringList{time, first, third, time, {}, {}}));

    clickEntry(1);
    const QString password = list()->item(1)->text();
    boxes.expect(QStringLiteral("密码是 ") + password + QStringLiteral("\r\n可要记住了！"),
                 gui::Icon::Exclamation);
    window_.hide(); // opened again, modally, to hand the password back
    const NextDialog<PasswordGeneratorDialog> person([&](PasswordGeneratorDialog&) {
        QTest::mouseClick(button(PasswordGeneratorDialog::Add), Qt::LeftButton);
    });
    EXPECT_EQ(window_.choosePassword(), password);
    EXPECT_FALSE(window_.isVisible());
}

// Passwords come one per turn of the event loop; 关闭 pressed after the first
// few of a thousand (of a thousand characters each) ends the generation.
TEST_F(PasswordGeneratorDialogTest, ClosingDuringALongGenerationEndsIt) {
    int shownWhenClosed = -1;
    window_.hide(); // opened again, modally, as the main window opens it
    const NextDialog<PasswordGeneratorDialog> person([&](PasswordGeneratorDialog&) {
        type(0, QStringLiteral("1000"));
        type(1, QStringLiteral("1000"));
        QTest::mouseClick(button(PasswordGeneratorDialog::Generate), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return list()->count() >= 3; }));
        QTest::mouseClick(button(PasswordGeneratorDialog::Close), Qt::LeftButton);
        shownWhenClosed = list()->count();
    });
    EXPECT_EQ(window_.choosePassword(), std::nullopt);
    EXPECT_GT(shownWhenClosed, 0);
    EXPECT_LT(shownWhenClosed, 1000);
    QTest::qWait(50);
    EXPECT_EQ(list()->count(), shownWhenClosed) << "no password after the close";
}

} // namespace
} // namespace veskard::test
