#include "gui/mainwindow/MainWindow.h"

#include "engine/StrongFormat.h"
#include "gui/desktop/NameText.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "gui/generator/PasswordGeneratorDialog.h"
#include "gui/writers/SystemScript.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"
#include "support/desktop/ScriptedDesktop.h"
#include "texts/Texts.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace veskard::testing {
namespace {

// The main window as shown, the person's answers scripted, its files in a folder of its own.
class ShownMainWindow : public ::testing::Test, protected test::ScriptedDesktop {
protected:
    void SetUp() override {
        window.createIconButtons();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    gui::FlatButton& button(int index) {
        return *window.findChild<gui::FlatButton*>(QStringLiteral("Frame1(%1)").arg(index));
    }
    template <typename Control = QLineEdit> Control& control(const char* designName) {
        return *window.findChild<Control*>(QLatin1String(designName));
    }
    // Runs `act` inside the event loop of the next action's first job.
    void duringTheJob(std::function<void()> act) {
        QObject::connect(
            window.findChild<gui::MainWindowController*>(), &gui::MainWindowController::jobStarted,
            &window, [this, act] { QMetaObject::invokeMethod(&window, act, Qt::QueuedConnection); },
            Qt::SingleShotConnection);
    }
    QString path(const std::string& name) const { return gui::fromPath(folder / name); }
    QString fill(const std::string& name, const QString& password) {
        test::writeFile(folder / name, test::patternBytes(4000));
        control("Label3").setText(path(name));
        control("Text2").setText(password);
        control("Text3").setText(password);
        return path(name);
    }

    test::TempFolder folder;
    const gui::Desktop desktop = with({path(""), path(""), {}});
    engine::SystemRandom random;
    test::FixedClock clock{test::localTime(2024, 3, 1, 9, 30, 0)};
    engine::FixedTextFormats formats;
    // 生成自加密批处理文件 greyed, as set.ini may keep it.
    gui::MainWindow window{desktop, random, clock, formats,
                           gui::Options{.writeEncryptScript = gui::CheckValue::Greyed}};
};

using gui::Answer, gui::Buttons, gui::Icon;
using MainWindowEvents = ShownMainWindow;
using FlatButtonTest = ShownMainWindow;

// A drop of `first` and another file, as a file manager makes it.
void drop(QWidget& window, const QUrl& first) {
    QMimeData data;
    data.setUrls({first, QUrl::fromLocalFile("/second")});
    QDragEnterEvent enter({20, 20}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
}

// Enter moves from box to box and in the last one locks, strongly as ticked; a refusal
// hands the box back, selected. Each button runs its action, the person answering over
// the window, the strong lock's password checked while the dialog waits.
TEST_F(MainWindowEvents, EnterAndEachButtonRunTheirActions) {
    const auto enter = [](const QString& typed) {
        test::typeText(QApplication::focusWidget(), typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    const QString plan = fill("plan.txt", {});
    control<QCheckBox>("Check4").click();
    control("Label3").setFocus();
    enter({});
    enter("中文Pw");
    boxes.expect("密码确认不正确！   ", Icon::Stop);
    enter("中文");
    enter("中文Pw");
    EXPECT_TRUE(control("Label3").text().isEmpty()) << "emptied once locked";
    EXPECT_TRUE(engine::hasStrongMagic(engine::MemoryInput(test::readFile(folder / "plan.txt"))));
    button(4).click();
    EXPECT_EQ(shell.inEditor.size(), 1);

    pickers.answer(plan);
    button(5).click();
    boxes.expect("是否直接对“plan.txt”解密？    ", Icon::Exclamation, Buttons::YesNo, Answer::Yes);
    boxes.expect("恭喜！恭喜！已成功破解“" + plan + "”        \r\n是否以缺省方式打开它。",
                 Icon::Question, Buttons::YesNo, Answer::Yes);
    test::NextDialog<gui::PasswordPromptDialog> prompt(test::typing("中文Pw"));
    button(6).click();
    EXPECT_EQ(control("Text5").text(), plan);
    EXPECT_EQ(shell.opened, std::vector{plan});
    pickers.answer(plan);
    button(0).click();
    EXPECT_EQ(control("Label3").text(), plan);
    test::NextDialog<gui::PasswordGeneratorDialog> generator([](QDialog& d) { d.reject(); });
    button(7).click();
}

// Of a drop the first file counts; a name that is not UTF-8 is refused once the
// drop is over. While a job runs, only 关闭 takes input: the boxes that feed it
// and the other buttons are greyed, a drop is refused, the focus leaves the file
// box (not for the hidden exit) and comes back after. Closing waits for the
// whole action, then tells it, for the options to be kept, greyed ones too.
TEST_F(MainWindowEvents, DropsAndWhileAJobRunsOnlyClosingTakesInput) {
    QSignalSpy closed(&window, &gui::MainWindow::closed);
    drop(window, QUrl::fromLocalFile(path("other")));
    EXPECT_EQ(control("Label3").text(), path("other"));
#ifndef Q_OS_WIN // names on Windows are UTF-16: every one has its text
    boxes.expect(QString(texts::unattended::undecodableName) + path("\\xFF"), Icon::Stop);
    drop(window, QUrl::fromEncoded(QUrl::fromLocalFile(path("")).toEncoded() + "%FF"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.allShown(); }));
    EXPECT_EQ(control("Label3").text(), path("other"));
#endif
    const QString plan = fill("plan.txt", "pw");
    control("Label3").setFocus();
    const std::vector<QWidget*> inputs{
        &control("Label3"), &control("Text2"), &control("Text3"), &button(0), &button(1),
        &button(3),         &button(4),        &button(5),        &button(6), &button(7)};
    duringTheJob([&] {
        for (QWidget* input : inputs)
            EXPECT_FALSE(input->isEnabled()) << input->objectName().toStdString();
        EXPECT_TRUE(button(2).isEnabled());
        drop(window, QUrl::fromLocalFile(path("other")));
        EXPECT_EQ(control("Label3").text(), plan);
        EXPECT_FALSE(window.close());
    });
    button(1).click();
    EXPECT_EQ(closed.size(), 1);
    EXPECT_EQ(window.options().writeEncryptScript, gui::CheckValue::Greyed);
    for (QWidget* input : inputs)
        EXPECT_TRUE(input->isEnabled()) << input->objectName().toStdString();
    EXPECT_EQ(window.focusWidget(), &control("Label3"));
    EXPECT_FALSE(end.status);
}

// The hidden exit behind 关闭 ends the program at once (Tab from the file box,
// Alt+C), with a failure after a command line whose job was not done, and
// keeps no options; while a lock runs it waits for the whole action, both
// jobs and the scripts.
TEST_F(MainWindowEvents, TheHiddenExitEndsAtOnceOrOnceTheWholeActionIsOver) {
    QSignalSpy closed(&window, &gui::MainWindow::closed);
    control("Label3").setFocus();
    QTest::keyClick(&control("Label3"), Qt::Key_Tab);
    EXPECT_EQ(end.status, gui::ExitSuccess);
    end.status.reset();
    window.setExitStatus(gui::ExitFailure);

    fill("plan.txt", "pw");
    bool wholeLockDone = false;
    end.atEnd = [&] {
        wholeLockDone = QFileInfo::exists(path("plan") + '/' +
                                          gui::systemScriptName(gui::ScriptAction::Revert)) &&
                        control("Label3").text().isEmpty();
    };
    duringTheJob([&] {
        QSignalSpy pressed(&control<QPushButton>("Command1"), &QPushButton::clicked);
        QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
        ASSERT_TRUE(pressed.wait());
        EXPECT_FALSE(end.status);
    });
    button(1).click();
    EXPECT_EQ(end.status, gui::ExitFailure);
    EXPECT_TRUE(wholeLockDone && closed.isEmpty());
}

// 保存报告, its action cut off: the pointer over it raises its edge, a press
// sinks it. Dragged off, a press ends and runs nothing; back, still held, it
// goes on. A release over it clicks and rests, the capture given up for the
// action's dialogs; a right click does nothing.
TEST_F(FlatButtonTest, DrawsEachLookAndClicksOnlyWhenReleasedOverIt) {
    gui::FlatButton& flat = button(4);
    QObject::disconnect(&flat, nullptr, &window, nullptr);
    QSignalSpy clicked(&flat, &gui::FlatButton::clicked);
    const auto mouse = [&](QTest::MouseAction action, int x, Qt::MouseButton key = Qt::LeftButton) {
        QTest::mouseEvent(action, window.windowHandle(), key, {},
                          flat.mapTo(&window, QPoint(x, 9)));
    };
    const auto face = [&] { return flat.grab().toImage(); };
    const int inside = flat.width() / 2, outside = flat.width() + 10;
    const QImage home = face();
    mouse(QTest::MouseMove, inside);
    const QImage lit = face();
    mouse(QTest::MousePress, inside);
    EXPECT_TRUE(home.pixel(0, 0) != lit.pixel(0, 0) && lit.pixel(0, 0) != face().pixel(0, 0));
    mouse(QTest::MouseMove, outside);
    mouse(QTest::MouseRelease, outside);
    EXPECT_TRUE(face() == home && clicked.isEmpty());
    mouse(QTest::MouseMove, inside);
    mouse(QTest::MousePress, inside);
    mouse(QTest::MouseMove, outside);
    mouse(QTest::MouseMove, inside);
    mouse(QTest::MouseMove, inside + 1); // captured again, the button held
    EXPECT_EQ(flat.look(), gui::FlatButton::Look::Pressed);
    mouse(QTest::MouseRelease, inside + 1);
    EXPECT_TRUE(face() == home && clicked.size() == 1 && !QWidget::mouseGrabber());
    mouse(QTest::MouseMove, inside);
    mouse(QTest::MouseClick, inside, Qt::RightButton);
    EXPECT_TRUE(face() == lit && clicked.size() == 1);
    flat.setEnabled(false);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "greyed, it would take every click";
}

} // namespace
} // namespace veskard::testing
