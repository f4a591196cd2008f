#include "ShownMainWindow.h"

#include "engine/ByteStreams.h"
#include "engine/RecordFormat.h"
#include "gui/desktop/NameText.h"
#include "gui/desktop/Twips.h"
#include "support/desktop/Keyboard.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

namespace veskard::testing {
namespace {

using gui::FlatButton;
using gui::MainWindow;
using gui::MainWindowControls;
using MainWindowLayout = ShownMainWindow;

QRect twips(int left, int top, int width, int height) {
    return gui::rectInTwips(left, top, width, height);
}

// A few controls of each kind where the design puts them (the others go
// through the same conversion), the hidden exit button behind the close
// button, what the screen-reader test cannot see, the captions and the size.
TEST_F(MainWindowLayout, PlacesTheControlsAsDesigned) {
    const std::pair<const char*, QRect> design[] = {
        {"Label3", twips(1560, 240, 3615, 270)},
        {"info", twips(360, 2280, 3855, 855)},
        {"Frame2", twips(240, 3360, 5295, 30)},
        {"Frame1(1)", twips(3960, 720, 1335, 375)},
        // made at load: the picker beside Label7, the unlock button before Text5
        {"Frame1(5)", twips(5280, 3580, 300, 300)},
        {"Frame1(6)", twips(1560, 3905, 300, 300)},
    };
    for (const auto& [name, rect] : design) {
        const auto* control = window.findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->geometry(), rect) << name;
        EXPECT_TRUE(control->isVisible()) << name;
    }
    EXPECT_EQ(window.size(), gui::sizeInTwips(5790, 4890));

    const MainWindowControls& c = window.controls();
    const QPushButton& exit = *c.hiddenExitButton;
    EXPECT_EQ(exit.text(), QStringLiteral("&Cexit"));
    EXPECT_TRUE(exit.isVisible()) << "it must still take the focus";
    for (const QPoint corner : {exit.geometry().topLeft(), exit.geometry().bottomRight()}) {
        const QWidget* seen = window.childAt(corner);
        EXPECT_TRUE(seen == &button(2) || button(2).isAncestorOf(seen));
    }
    EXPECT_TRUE(c.restoredPathEdit->isReadOnly());
    EXPECT_FALSE(c.restoredPathEdit->hasFrame());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(c.lockedPathLabel)->text(QAccessible::Name),
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
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(MainWindowLayout, TabsThroughTheInputsInTheDesignsOrder) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int step = 0; step < 9; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, QStringList({"Text2", "Text3", "Text5", "Check1", "Label3", "Command1", "info",
                                  "Check2", "Check3", "Text2"}));
}

using MainWindowEvents = ShownMainWindow;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST_F(MainWindowEvents, TheOptionsComeFromSetIniAndGoBackWhenTheWindowCloses) {
    const QString settings = desktop.files.writable("set.ini");
    const auto reopened = [&](const QByteArray& saved) {
        writeBytes(settings, saved);
        gui::Options options;
        gui::loadSettings(settings, options);
        return std::make_unique<MainWindow>(desktop, random, clock, formats, options);
    };
    const auto states = [](const MainWindow& shown) {
        const MainWindowControls& c = shown.controls();
        return std::vector{c.keepOriginalCheck->checkState(), c.encryptScriptCheck->checkState(),
                           c.decryptScriptCheck->checkState()};
    };

    std::unique_ptr<MainWindow> shown = reopened(QByteArray("\x01\x00", 2)); // the rest count as 0
    EXPECT_EQ(states(*shown), (std::vector{Qt::Checked, Qt::Unchecked, Qt::Unchecked}));
    shown->controls().decryptScriptCheck->click();
    shown->close();
    EXPECT_EQ(contentOf(settings), QByteArray("\x01\x00\x00\x00\x01\x00", 6));

    // Greyed stays greyed, until a click ticks it.
    shown = reopened(QByteArray("\x02\x00\x02\x00\x00\x00", 6));
    EXPECT_EQ(states(*shown),
              (std::vector{Qt::PartiallyChecked, Qt::PartiallyChecked, Qt::Unchecked}));
    shown->controls().encryptScriptCheck->click();
    shown->controls().encryptScriptCheck->click();
    shown->close();
    EXPECT_EQ(contentOf(settings), QByteArray("\x02\x00\x00\x00\x00\x00", 6));

    // Options that cannot be saved are lost, and the window still closes.
    ASSERT_TRUE(QFile::remove(settings));
    ASSERT_TRUE(QDir().mkdir(settings));
    window.close();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowEvents, TheHiddenExitButtonEndsTheProgramAtOnceWithoutSavingTheOptions) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.controls().keepOriginalCheck->click();
    window.controls().sourcePathEdit->setFocus();
    QTest::keyClick(window.controls().sourcePathEdit, Qt::Key_Tab);
    EXPECT_EQ(end.status, gui::ExitSuccess);

    // After a command line that asked for a job not done, the end is a failure.
    end.status.reset();
    window.setExitStatus(gui::ExitFailure);
    window.controls().passwordEdit->setFocus();
    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return end.status.has_value(); }));
    EXPECT_EQ(end.status, gui::ExitFailure);
    EXPECT_FALSE(QFileInfo::exists(desktop.files.writable("set.ini")));
}

TEST_F(MainWindowEvents, EnterLeadsFromTheFileBoxThroughThePasswordsIntoEncrypting) {
    const MainWindowControls& c = window.controls();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const std::filesystem::path plan = folder / "plan.txt";
    test::writeFile(plan, test::patternBytes(800));
    c.encryptScriptCheck->setChecked(false);
    c.decryptScriptCheck->setChecked(false);
    c.sourcePathEdit->setText(text(plan));
    c.sourcePathEdit->setFocus();
    QTest::keyClick(c.sourcePathEdit, Qt::Key_Return);
    ASSERT_TRUE(c.passwordEdit->hasFocus());
    test::typeText(c.passwordEdit, "pw");
    QTest::keyClick(c.passwordEdit, Qt::Key_Return);
    ASSERT_TRUE(c.confirmPasswordEdit->hasFocus());
    test::typeText(c.confirmPasswordEdit, "pw");
    QTest::keyClick(c.confirmPasswordEdit, Qt::Key_Return);

    const std::vector<std::byte> locked = test::readFile(plan);
    EXPECT_TRUE(engine::readRecord(engine::MemoryInput(locked)));
    EXPECT_EQ(button(1).look(), FlatButton::Look::Rest) << "no click drawn";
    EXPECT_TRUE(c.sourcePathEdit->text().isEmpty());
}

TEST_F(MainWindowEvents, ADropPutsTheFirstFileIntoTheFileBox) {
    // As the window system delivers a drop: entering first, then dropping.
    const auto drop = [&](const QMimeData& data) {
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    };
    const QString first = text(folder / "a.txt");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(text(folder / "b.txt"))});
    drop(files);
    EXPECT_EQ(window.controls().sourcePathEdit->text(), first);
    EXPECT_TRUE(window.acceptDrops());

    QMimeData words;
    words.setText(QStringLiteral("不是文件"));
    drop(words);
    EXPECT_EQ(window.controls().sourcePathEdit->text(), first);

    QMimeData aFolder;
    aFolder.setUrls({QUrl::fromLocalFile(text(folder.path()))});
    drop(aFolder);
    EXPECT_EQ(window.controls().sourcePathEdit->text(), text(folder.path()));

#ifndef _WIN32 // Windows names are UTF-16: none holds bytes that are not text
    // An address holds a name's bytes: one that is not UTF-8 is refused once
    // the drop is over, not read as the name really made of U+FFFD beside it.
    test::writeFile(folder / "\xFF\xFE.bin", {std::byte{1}});
    const QString decoy = text(folder / "\uFFFD\uFFFD.bin");
    test::writeFile(folder / "\uFFFD\uFFFD.bin", {std::byte{2}});
    QMimeData undecodable;
    undecodable.setUrls(
        {QUrl::fromEncoded(QUrl::fromLocalFile(text(folder.path())).toEncoded() + "/%FF%FE.bin")});
    boxes.expect(gui::UndecodableNameText + text(folder.path()) + "/\\xFF\\xFE.bin",
                 gui::Icon::Stop);
    drop(undecodable);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.shown().empty(); }));
    EXPECT_EQ(window.controls().sourcePathEdit->text(), text(folder.path()));
    QMimeData reallyNamedSo;
    reallyNamedSo.setUrls({QUrl::fromLocalFile(decoy)});
    drop(reallyNamedSo);
    EXPECT_EQ(window.controls().sourcePathEdit->text(), decoy);
#endif
}

TEST_F(MainWindowEvents, TheLogIsSelectedWholeAfterEveryChangeAndOnADoubleClick) {
    QPlainTextEdit& log = *window.controls().logView;
    log.setPlainText(QStringLiteral("第一行\r\n第二行\r\n"));
    EXPECT_EQ(log.document()->blockCount(), 3) << "CR LF ends a line";
    EXPECT_FALSE(log.toPlainText().contains(QLatin1Char('\r')));
    const int length = log.document()->characterCount() - 1;
    EXPECT_EQ(log.textCursor().selectionStart(), 0);
    EXPECT_EQ(log.textCursor().selectionEnd(), length);

    QTextCursor inside(log.document());
    inside.setPosition(2);
    log.setTextCursor(inside);
    // Sent straight to the box: the mouse of the other tests stays as it was.
    const QPointF at(5, 5);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, log.viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(log.viewport(), &doubleClick);
    EXPECT_EQ(log.textCursor().selectionStart(), 0);
    EXPECT_EQ(log.textCursor().selectionEnd(), length);
}

} // namespace
} // namespace veskard::testing
