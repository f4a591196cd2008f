#include "ShownMainWindow.h"

#include "gui/about/AboutDialog.h"
#include "gui/desktop/NameText.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "gui/generator/PasswordGeneratorDialog.h"
#include "support/desktop/Keyboard.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>

namespace veskard::testing {
namespace {

using gui::Answer, gui::Buttons, gui::Icon;
using gui::FlatButton;
using gui::MainWindow;
using MainWindowLayout = ShownMainWindow;

// What the design table cannot see: the hidden exit button behind the close
// button, the unlocked-file box, the empty box's accessible name, captions
// that fit and a size that stays.
TEST_F(MainWindowLayout, KeepsWhatTheDesignTableCannotSee) {
    const auto& exit = control<QPushButton>("Command1");
    EXPECT_TRUE(exit.isVisible()) << "it must still take the focus";
    for (const QPoint corner : {exit.geometry().topLeft(), exit.geometry().bottomRight()}) {
        const QWidget* seen = window.childAt(corner);
        EXPECT_TRUE(seen == &button(2) || button(2).isAncestorOf(seen));
    }
    EXPECT_TRUE(control("Text5").isReadOnly());
    EXPECT_FALSE(control("Text5").hasFrame());
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(&control<QLabel>("Label7"))->text(QAccessible::Name),
        QStringLiteral("选择解密文件："))
        << "named by its label while it is empty";

    // Every caption fits its box.
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QString text = label->text().remove(QLatin1Char('&'));
        EXPECT_LE(label->fontMetrics().horizontalAdvance(text), label->contentsRect().width())
            << text.toStdString();
    }
    for (const QCheckBox* box : window.findChildren<QCheckBox*>())
        EXPECT_LE(box->sizeHint().width(), box->width()) << box->text().toStdString();

    // The size stays whatever is asked.
    const QSize designed = window.size();
    window.resize(designed * 2);
    window.showMinimized();
    window.showNormal();
    EXPECT_EQ(window.size(), designed);
}

using MainWindowEvents = ShownMainWindow;

// A greyed option stays greyed until a click ticks it. Closing the window
// tells so, for the options to be kept; the hidden exit ends the program at
// once (reached by Tab from the file box, or Alt+C) and tells nothing.
TEST_F(MainWindowEvents, TheOptionsAreKeptOnClosingAndTheHiddenExitEndsAtOnce) {
    using gui::CheckValue;
    MainWindow shown(desktop, random, clock, formats,
                     {CheckValue::Greyed, CheckValue::Greyed, CheckValue::Unticked});
    const auto check = [&](const char* name) { return shown.findChild<QCheckBox*>(name); };
    EXPECT_EQ(check("Check1")->checkState(), Qt::PartiallyChecked);
    check("Check2")->click();
    check("Check2")->click();
    check("Check3")->click();
    EXPECT_EQ(shown.options(),
              (gui::Options{CheckValue::Greyed, CheckValue::Unticked, CheckValue::Ticked}));
    QSignalSpy closed(&shown, &MainWindow::closed);
    shown.close();
    EXPECT_EQ(closed.size(), 1);

    QSignalSpy notClosed(&window, &MainWindow::closed);
    activate();
    control("Label3").setFocus();
    QTest::keyClick(&control("Label3"), Qt::Key_Tab);
    EXPECT_EQ(end.status, gui::ExitSuccess);
    // After a command line that asked for a job not done, the end is a failure.
    end.status.reset();
    window.setExitStatus(gui::ExitFailure);
    control("Text2").setFocus();
    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return end.status == gui::ExitFailure; }));
    EXPECT_TRUE(notClosed.isEmpty());
}

// Enter moves on to the next box and in the last one locks, as 确认加密 does
// without drawing a click; a refusal hands the box to type again, selected.
// The log is selected whole, its end in view. Then clicks unlock the file.
TEST_F(MainWindowEvents, EnterLocksThroughTheBoxesAndClicksUnlock) {
    activate();
    const QString plan = make("plan.txt");
    control("Label3").setText(plan);
    control("Label3").setFocus();
    QTest::keyClick(&control("Label3"), Qt::Key_Return);
    test::typeText(&control("Text2"), "中文Pw");
    QTest::keyClick(&control("Text2"), Qt::Key_Return);
    test::typeText(&control("Text3"), "中文");
    boxes.expect("密码确认不正确！   ", Icon::Stop);
    QTest::keyClick(&control("Text3"), Qt::Key_Return);
    EXPECT_EQ(control("Text3").selectedText(), "中文");
    test::typeText(&control("Text3"), "中文Pw");
    QTest::keyClick(&control("Text3"), Qt::Key_Return);
    EXPECT_EQ(button(1).look(), FlatButton::Look::Rest) << "no click drawn";
    EXPECT_TRUE(isLocked(plan));
    EXPECT_TRUE(control("Label3").text().isEmpty());
    auto& log = control<QPlainTextEdit>("info");
    EXPECT_TRUE(
        log.toPlainText().endsWith("\n加密成功！\n结束时间：2024-03-01 09:30:00\n用时：0秒\n"));
    EXPECT_EQ(log.textCursor().selectedText().size(), log.document()->characterCount() - 1);
    EXPECT_TRUE(log.viewport()->rect().contains(log.cursorRect())) << "the end in view";

    pickers.answer(plan);
    click(5);
    boxes.expect("是否直接对“plan.txt”解密？    ", Icon::Exclamation, Buttons::YesNo, Answer::Yes);
    boxes.expect("恭喜！恭喜！已成功破解“" + plan + "”        \r\n是否以缺省方式打开它。",
                 Icon::Question, Buttons::YesNo, Answer::Yes);
    click<gui::PasswordPromptDialog>(6, test::typing("中文Pw"));
    EXPECT_FALSE(isLocked(plan));
    EXPECT_EQ(control("Text5").text(), plan);
    EXPECT_TRUE(control<QLabel>("Label7").text().isEmpty());
    EXPECT_EQ(shell.opened, std::vector{plan});

    // A double click selects the whole log again.
    log.moveCursor(QTextCursor::Start);
    const QPointF at(5, 5);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, log.viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(log.viewport(), &doubleClick);
    EXPECT_EQ(log.textCursor().selectedText().size(), log.document()->characterCount() - 1);

    const auto closesOverTheWindow = [this](QDialog& dialog) {
        EXPECT_EQ(dialog.parentWidget(), &window);
        dialog.reject();
    };
    click<gui::PasswordGeneratorDialog>(7, closesOverTheWindow);
    click<gui::AboutDialog>(3, closesOverTheWindow);
}

// Only the first file dropped counts. An address holds a name's bytes: one
// that is not UTF-8 is refused once the drop is over, not read as the name
// really made of U+FFFD beside it.
TEST_F(MainWindowEvents, ADropPutsTheFirstFileIntoTheFileBox) {
    const auto drop = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter({20, 20}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    };
    const QString first = text(folder / "a.txt");
    drop({QUrl::fromLocalFile(first), QUrl::fromLocalFile(text(folder / "b.txt"))});
    EXPECT_EQ(control("Label3").text(), first);
    boxes.expect(gui::UndecodableNameText + text(folder.path()) + "/\\xFF\\xFE.bin", Icon::Stop);
    drop({QUrl::fromEncoded(QUrl::fromLocalFile(text(folder.path())).toEncoded() + "/%FF%FE.bin")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.shown().empty(); }));
    EXPECT_EQ(control("Label3").text(), first);
    drop({QUrl::fromLocalFile(text(folder / "\uFFFD\uFFFD.bin"))});
    EXPECT_EQ(control("Label3").text(), text(folder / "\uFFFD\uFFFD.bin"));
}

// While a job runs, only 关闭 takes input: nothing typed, dropped or clicked
// starts anything, and no dialog holds the action up (any is counted and
// closed). Afterwards all is back, the focus too.
TEST_F(MainWindowEvents, WhileAJobRunsOnlyClosingTakesInputAndTheActionEndsUnheld) {
    const QString plan = make("plan.txt");
    fill(plan, "pw");
    activate();
    control("Label3").setFocus(); // moved on from a disabled box, it must not reach the hidden exit
    int opened = 0;
    QTimer closer;
    closer.callOnTimeout([&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            ++opened, dialog->reject();
    });
    const std::vector<QLineEdit*> inputs{&control("Label3"), &control("Text2"), &control("Text3")};
    duringTheJob([&] {
        closer.start(0);
        for (const int index : {0, 1, 3, 4, 5, 6, 7}) {
            EXPECT_FALSE(button(index).isEnabled()) << index;
            click(index);
        }
        EXPECT_TRUE(button(2).isEnabled());
        test::typeText(&control("Text2"), "x");
        QTest::keyClick(&control("Text3"), Qt::Key_Return);
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(text(folder / "other.txt"))});
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &drop);
        EXPECT_EQ(control("Label3").text(), plan);
        EXPECT_EQ(control("Text2").text(), "pw");
        closer.stop();
    });
    click(1);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(isLocked(plan));
    for (int index = 0; index < 8; ++index)
        EXPECT_TRUE(button(index).isEnabled()) << index;
    for (QLineEdit* box : inputs)
        EXPECT_TRUE(box->isEnabled() && box->text().isEmpty()) << box->objectName().toStdString();
    EXPECT_EQ(window.focusWidget(), &control("Label3"));
    EXPECT_FALSE(end.status);
}

// Alt+C ends the program only once the whole lock is done (two jobs and the
// scripts); closing the window waits the same way, then tells it is closed.
TEST_F(MainWindowEvents, TheHiddenExitAndClosingWaitForTheWholeAction) {
    QSignalSpy closed(&window, &MainWindow::closed);
    activate();
    const QString plan = make("plan.txt");
    bool wholeLockDone = false;
    end.atEnd = [&] {
        wholeLockDone = isLocked(plan) && QFileInfo::exists(text(folder / "plan" / "解密.sh")) &&
                        control("Label3").text().isEmpty();
    };
    fill(plan, "pw");
    duringTheJob([&] {
        QSignalSpy pressed(&control<QPushButton>("Command1"), &QPushButton::clicked);
        QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
        ASSERT_TRUE(pressed.wait());
        EXPECT_FALSE(end.status);
    });
    click(1);
    EXPECT_TRUE(wholeLockDone);
    EXPECT_TRUE(closed.isEmpty());

    fill(make("other.txt"), "pw");
    duringTheJob([&] {
        window.close();
        EXPECT_TRUE(window.isVisible());
    });
    click(1);
    EXPECT_TRUE(control("Label3").text().isEmpty()) << "the whole action ran";
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed.size(), 1);
}

} // namespace
} // namespace veskard::testing
