#include "gui/generator/PasswordGeneratorDialog.h"
#include "engine/TextFormats.h"
#include "gui/generator/PasswordList.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/RecordingShell.h"
#include "support/desktop/ScriptedFilePickers.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QAccessible>
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

#include <chrono>
#include <set>
#include <sys/stat.h>

namespace veskard::test {
namespace {

using gui::PasswordGeneratorDialog;
using gui::PasswordList;
using std::chrono::system_clock;

class PasswordGeneratorDialogTest : public ::testing::Test {
protected:
    PasswordGeneratorDialogTest() {
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    template <typename Control> Control* control(const QString& name) {
        auto* found = window_.findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit* box(int index) { return control<QLineEdit>(QStringLiteral("Text1(%1)").arg(index)); }
    QScrollBar* spinner(int index) {
        return control<QScrollBar>(QStringLiteral("VScroll1(%1)").arg(index));
    }
    QPushButton* button(PasswordGeneratorDialog::Button which) {
        return control<QPushButton>(QStringLiteral("Command1(%1)").arg(static_cast<int>(which)));
    }
    PasswordList* list() { return control<PasswordList>(QStringLiteral("List1")); }

    // A click on a spinner's upper or lower arrow.
    void clickArrow(QScrollBar* bar, bool up) {
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          QPoint(bar->width() / 2, up ? 2 : bar->height() - 3));
    }

    // Types into a number box as a person would, the box emptied first.
    void type(int index, const QString& text) {
        box(index)->clear();
        QTest::keyClicks(box(index), text);
    }

    // Generates with the classes as they are ticked and waits for the whole list.
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
    ScriptedMessageBoxes boxes_;
    ScriptedFilePickers pickers_;
    RecordingShell shell_;
    RecordingProgramEnd end_;
    gui::Desktop desktop_{boxes_, pickers_, shell_, end_,
                          gui::ProgramFiles{QString::fromStdString(folder_.path().string()),
                                            QString::fromStdString(folder_.path().string()),
                                            {}}};
    // Digits only: 0.05 draws '0', 0.15 '1' and so on.
    ScriptedRandom random_{{0.05f, 0.15f, 0.25f, 0.35f, 0.45f, 0.55f, 0.65f, 0.75f, 0.85f}};
    QLineEdit passwordBox_;
    QLineEdit confirmationBox_;
    PasswordGeneratorDialog window_{nullptr, passwordBox_, confirmationBox_, desktop_, random_};
};

TEST_F(PasswordGeneratorDialogTest, OpensEmptyWithEveryClassTickedAndTheFocusInTheLengthBox) {
    EXPECT_EQ(window_.windowTitle(), QStringLiteral("密码生成器"));
    EXPECT_EQ(window_.size(), QSize(283, 304)) << "4245 x 4560 twips";
    EXPECT_EQ(QApplication::focusWidget(), box(0));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(box(i)->text(), QString());
        EXPECT_EQ(spinner(i)->value(), 0);
    }
    const QList<QCheckBox*> classes = window_.findChildren<QCheckBox*>();
    EXPECT_EQ(classes.size(), 4);
    for (const QCheckBox* tick : classes)
        EXPECT_TRUE(tick->isChecked()) << tick->text().toStdString();
    EXPECT_EQ(list()->selectionMode(), QAbstractItemView::ExtendedSelection);

    // Every control says what it is and what it is called.
    for (QWidget* widget : window_.findChildren<QWidget*>()) {
        if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_"))
            continue; // the parts Qt adds inside a control
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(face, nullptr);
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty()) << widget->objectName().toStdString();
        EXPECT_NE(face->role(), QAccessible::Client) << widget->objectName().toStdString();
    }
}

TEST_F(PasswordGeneratorDialogTest,
       SpinnersCountFromOneToAThousandAndTypedTextsTheBoxesWouldNotTakeAreEmptied) {
    clickArrow(spinner(0), true);
    EXPECT_EQ(box(0)->text(), QStringLiteral("1"));
    clickArrow(spinner(0), false);
    EXPECT_EQ(box(0)->text(), QString()) << "0 is not a length";
    EXPECT_EQ(spinner(0)->value(), 0);

    for (int i = 0; i < 1001; ++i)
        clickArrow(spinner(1), true);
    EXPECT_EQ(box(1)->text(), QStringLiteral("1000"));
    EXPECT_EQ(spinner(1)->value(), -1000);
    EXPECT_EQ(box(0)->text(), QString()) << "each spinner has its own box";

    // From the keyboard: the up arrow counts up here too.
    spinner(0)->setFocus();
    QTest::keyClick(spinner(0), Qt::Key_Up);
    EXPECT_EQ(box(0)->text(), QStringLiteral("1"));

    // What a box would not take is emptied; a number typed leaves the caret
    // where the typist put it, and a text the box takes but does not show
    // plainly stays as typed until the spinner moves.
    for (int i = 0; i < 2; ++i) {
        for (const char* text : {"1001", "0", "abc"}) {
            type(i, QString::fromLatin1(text));
            EXPECT_EQ(box(i)->text(), QString()) << text;
        }
        type(i, QStringLiteral("12"));
        EXPECT_EQ(box(i)->text(), QStringLiteral("12"));
        EXPECT_EQ(spinner(i)->value(), -12);
    }
    QTest::keyClick(box(0), Qt::Key_Home);
    QTest::keyClick(box(0), Qt::Key_3);
    EXPECT_EQ(box(0)->text(), QStringLiteral("312"));
    EXPECT_EQ(box(0)->cursorPosition(), 1);
    type(0, QStringLiteral("8abc"));
    EXPECT_EQ(box(0)->text(), QStringLiteral("8abc"));
    clickArrow(spinner(0), true);
    EXPECT_EQ(box(0)->text(), QStringLiteral("9"));
}

TEST_F(PasswordGeneratorDialogTest, RefusalsAreShownAndEmptyTheList) {
    generate(QStringLiteral("2"), QStringLiteral("3"), 3);
    boxes_.expect(engine::refusalNotice(engine::Refusal::NoLength));
    type(0, {});
    QTest::mouseClick(button(PasswordGeneratorDialog::Generate), Qt::LeftButton);
    EXPECT_EQ(list()->count(), 0);

    for (QCheckBox* tick : window_.findChildren<QCheckBox*>())
        tick->setChecked(false);
    boxes_.expect(engine::refusalNotice(engine::Refusal::NoClasses));
    type(0, QStringLiteral("4"));
    QTest::mouseClick(button(PasswordGeneratorDialog::Generate), Qt::LeftButton);
    EXPECT_EQ(list()->count(), 0);
}

TEST_F(PasswordGeneratorDialogTest,
       ButtonsWaitForTheFirstClickIntoTheListAndTheTooltipShowsTheEntry) {
    window_.findChild<QCheckBox*>(QStringLiteral("Check1(0)"))->setChecked(false);
    window_.findChild<QCheckBox*>(QStringLiteral("Check1(1)"))->setChecked(false);
    window_.findChild<QCheckBox*>(QStringLiteral("Check1(3)"))->setChecked(false);
    generate(QStringLiteral("3"), QStringLiteral("3"), 3);
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("012"));
    for (const PasswordGeneratorDialog::Button waiting :
         {PasswordGeneratorDialog::Add, PasswordGeneratorDialog::Save,
          PasswordGeneratorDialog::Copy})
        EXPECT_FALSE(button(waiting)->isEnabled());

    clickEntry(1);
    for (const PasswordGeneratorDialog::Button enabled :
         {PasswordGeneratorDialog::Add, PasswordGeneratorDialog::Save,
          PasswordGeneratorDialog::Copy})
        EXPECT_TRUE(button(enabled)->isEnabled());
    EXPECT_EQ(list()->toolTip(), QStringLiteral("345"));
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(list()->toolTip(), QStringLiteral("678"));

    // A new list: the buttons stay enabled and the tooltip keeps its text;
    // with nothing chosen in it yet, "添加" has nothing to hand over.
    generate(QStringLiteral("6"), {}, 1);
    EXPECT_TRUE(button(PasswordGeneratorDialog::Add)->isEnabled());
    EXPECT_EQ(list()->toolTip(), QStringLiteral("678"));
    QTest::mouseClick(button(PasswordGeneratorDialog::Add), Qt::LeftButton);
    EXPECT_EQ(passwordBox_.text(), QString());
    EXPECT_TRUE(window_.isVisible());
    // The list scrolls sideways as far as its first entry is wide, and 20 more.
    EXPECT_EQ(list()->horizontalExtent(),
              list()->fontMetrics().horizontalAdvance(list()->item(0)->text()) + 20);
}

// Save appends a record of the selection to paw.txt and opens it, Copy puts
// the selection on the clipboard (an empty selection: an empty line, an empty
// clipboard), and Add hands the current password to both boxes and closes.
TEST_F(PasswordGeneratorDialogTest, TheSelectionIsSavedCopiedAndTheCurrentPasswordAdded) {
    const system_clock::time_point before = system_clock::now();
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
    const system_clock::time_point after = system_clock::now();

    const QString path =
        QDir::fromNativeSeparators(QString::fromStdString((folder_ / "paw.txt").string()));
    EXPECT_EQ(shell_.inEditor, (std::vector<QString>{path, path}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QStringLiteral("\r\n"));
    // Two records: the date and time, the selected passwords; the date and
    // time, one empty line for an empty selection.
    ASSERT_EQ(lines.size(), 6) << lines.join('|').toStdString();
    EXPECT_EQ(lines.mid(1, 2), (QStringList{first, third}));
    EXPECT_EQ(lines[4], QString());
    EXPECT_EQ(lines[5], QString()) << "the last line ends in CR LF too";
    std::set<QString> times;
    const engine::LocaleTextFormats formats;
    for (auto second = std::chrono::floor<std::chrono::seconds>(before); second <= after;
         second += std::chrono::seconds(1))
        times.insert(QString::fromStdString(formats.dateTime(second)));
    EXPECT_TRUE(times.contains(lines[0])) << lines[0].toStdString();
    EXPECT_TRUE(times.contains(lines[3])) << lines[3].toStdString();

    clickEntry(1);
    const QString password = list()->item(1)->text();
    boxes_.expect(QStringLiteral("密码是 ") + password + QStringLiteral("\r\n可要记住了！"),
                  gui::Icon::Exclamation);
    QTest::mouseClick(button(PasswordGeneratorDialog::Add), Qt::LeftButton);
    EXPECT_EQ(passwordBox_.text(), password);
    EXPECT_EQ(confirmationBox_.text(), password);
    EXPECT_FALSE(window_.isVisible());
}

#ifndef _WIN32 // FIFOs
// A FIFO in the save file's place would wait for a reader for ever: the save
// passes it over, and the editor is started all the same.
TEST_F(PasswordGeneratorDialogTest, SavingNeverWaitsOnAFifoInTheSaveFilesPlace) {
    const std::filesystem::path fifo = folder_ / "paw.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    generate(QStringLiteral("4"), QStringLiteral("1"), 1);
    clickEntry(0);
    QTest::mouseClick(button(PasswordGeneratorDialog::Save), Qt::LeftButton);
    EXPECT_EQ(shell_.inEditor.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}
#endif

TEST_F(PasswordGeneratorDialogTest, ClosingDuringALongGenerationEndsIt) {
    // A thousand passwords of a thousand characters; the window answers while
    // they come, and its close button is pressed after the first few.
    int shownWhenClosed = -1;
    const auto closeMidway = [&](PasswordGeneratorDialog& opened) {
        opened.findChild<QLineEdit*>(QStringLiteral("Text1(0)"))->setText(QStringLiteral("1000"));
        opened.findChild<QLineEdit*>(QStringLiteral("Text1(1)"))->setText(QStringLiteral("1000"));
        QTest::mouseClick(opened.findChild<QPushButton*>(QStringLiteral("Command1(0)")),
                          Qt::LeftButton);
        const auto* growing = opened.findChild<QListWidget*>(QStringLiteral("List1"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return growing->count() >= 3; }));
        QTest::mouseClick(opened.findChild<QPushButton*>(QStringLiteral("Command1(4)")),
                          Qt::LeftButton);
        shownWhenClosed = growing->count();
    };
    engine::SystemRandom system;
    {
        PasswordGeneratorDialog window(nullptr, passwordBox_, confirmationBox_, desktop_, system);
        const NextDialog<PasswordGeneratorDialog> acting(closeMidway);
        window.exec();
        EXPECT_GT(shownWhenClosed, 0);
        EXPECT_LT(shownWhenClosed, 1000);
        QTest::qWait(50);
        EXPECT_EQ(window.findChild<QListWidget*>(QStringLiteral("List1"))->count(), shownWhenClosed)
            << "no password after the close";
    }
    // Through the one opening call the window goes away with its generation.
    const NextDialog<PasswordGeneratorDialog> acting(closeMidway);
    showPasswordGenerator(nullptr, passwordBox_, confirmationBox_, desktop_, system);
    QTest::qWait(50);
    EXPECT_EQ(passwordBox_.text(), QString());
}

} // namespace
} // namespace veskard::test
