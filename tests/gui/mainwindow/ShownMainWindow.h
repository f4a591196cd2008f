#pragma once

#include "engine/ByteStreams.h"
#include "engine/RandomSource.h"
#include "engine/RecordFormat.h"
#include "engine/TextFormats.h"
#include "gui/mainwindow/FlatButton.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/RecordingShell.h"
#include "support/desktop/ScriptedFilePickers.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace veskard::testing {

// The main window as the program shows it: loaded with its icon buttons, its
// message boxes and file dialogs answered by the test, its files written into
// a folder of its own. The mouse acts through the window system, so that the
// capture and the held buttons count as they do for a person.
class ShownMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window.createIconButtons();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // The controls by their design names.
    gui::FlatButton& button(int index) {
        return *window.findChild<gui::FlatButton*>(QStringLiteral("Frame1(%1)").arg(index));
    }
    template <typename Control = QLineEdit> Control& control(const char* name) {
        return *window.findChild<Control*>(QLatin1String(name));
    }
    void activate() {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // The mouse through the window system, at `local` in `widget`.
    void moveTo(const QWidget& widget, QPoint local) {
        QTest::mouseMove(window.windowHandle(), widget.mapTo(&window, local));
    }
    void moveOnto(const QWidget& widget) { moveTo(widget, widget.rect().center()); }
    void press(Qt::MouseButton mouseButton, const QWidget& widget, QPoint local) {
        QTest::mousePress(window.windowHandle(), mouseButton, {}, widget.mapTo(&window, local));
    }
    void release(Qt::MouseButton mouseButton, const QWidget& widget, QPoint local) {
        QTest::mouseRelease(window.windowHandle(), mouseButton, {}, widget.mapTo(&window, local));
    }
    // A person's click on a flat button, and what they do in the Dialog it
    // opens (awaited from the release on, as the mouse lets the event loop run).
    template <typename Dialog = QDialog>
    void click(int index, std::function<void(Dialog&)> act = nullptr) {
        gui::FlatButton& flat = button(index);
        moveOnto(flat);
        press(Qt::LeftButton, flat, flat.rect().center());
        std::optional<test::NextDialog<Dialog>> person;
        if (act)
            person.emplace(std::move(act));
        release(Qt::LeftButton, flat, flat.rect().center());
    }
    // Runs `act` once the first job of the next action runs, inside its event loop.
    void duringTheJob(std::function<void()> act) {
        QObject::connect(
            window.findChild<gui::MainWindowController*>(), &gui::MainWindowController::jobStarted,
            &window, [this, act] { QMetaObject::invokeMethod(&window, act, Qt::QueuedConnection); },
            Qt::SingleShotConnection);
    }

    // The offscreen platform cannot grab the pointer and says so at every
    // capture; the window still routes the mouse to the capturing button.
    // Quiet from before the window is made until after it is gone.
    struct QuietAboutGrabs {
        QuietAboutGrabs() {
            previous = qInstallMessageHandler(
                [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                    if (!message.startsWith(QLatin1String("This plugin does not support grabbing")))
                        previous(type, context, message);
                });
        }
        ~QuietAboutGrabs() { qInstallMessageHandler(previous); }
        static inline QtMessageHandler previous = nullptr;
    } quiet_;

    static QString text(const std::filesystem::path& path) {
        return QString::fromStdU16String(path.u16string());
    }
    QString make(const std::string& name) {
        test::writeFile(folder / name, test::patternBytes(4000));
        return text(folder / name);
    }
    void fill(const QString& file, const QString& password) {
        control("Label3").setText(file);
        control("Text2").setText(password);
        control("Text3").setText(password);
    }
    static bool isLocked(const QString& file) {
        const std::vector<std::byte> bytes = test::readFile(gui::toPath(file));
        return static_cast<bool>(engine::readRecord(engine::MemoryInput(bytes)));
    }
    // The program's own files (set.ini, Encrypt_Info.txt) go into "program".
    static gui::ProgramFiles programFilesIn(const test::TempFolder& folder) {
        std::filesystem::create_directory(folder / "program");
        return gui::ProgramFiles::forProgramIn(text(folder / "program"), text(folder / "data"));
    }

    test::TempFolder folder;
    test::ScriptedMessageBoxes boxes;
    test::ScriptedFilePickers pickers;
    test::RecordingShell shell;
    test::RecordingProgramEnd end;
    const gui::Desktop desktop{boxes, pickers, shell, end, programFilesIn(folder)};
    engine::SystemRandom random;
    test::FixedClock clock{test::localTime(2024, 3, 1, 9, 30, 0)};
    engine::FixedTextFormats formats;
    gui::MainWindow window{desktop, random, clock, formats, gui::Options{}};
};

} // namespace veskard::testing
