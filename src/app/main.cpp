#include "app/LoadStep.h"
#include "app/UnattendedRun.h"
#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "gui/desktop/ApplicationArguments.h"
#include "gui/desktop/CommandLineText.h"
#include "gui/desktop/Desktop.h"
#include "gui/desktop/Translations.h"
#include "gui/mainwindow/MainWindow.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QIcon>

using namespace veskard;

int main(int argc, char* argv[]) {
    // The user's text is taken before Qt sees any of it.
    const gui::CommandLineText commandLine = gui::commandLineText(argc, argv);
    gui::ApplicationArguments qtArguments(argv);
    QApplication application(qtArguments.argc(), qtArguments.argv());
    gui::installChineseTranslations(application);
    // The desktop entry's name, so that Wayland shows the program's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.veskard.Veskard"));
    application.setWindowIcon(QIcon(QStringLiteral(":/Veskard.ico")));

    gui::QtMessageBoxes boxes;
    gui::QtFilePickers pickers;
    gui::DesktopShell shell;
    gui::ImmediateProgramEnd end;
    const gui::Desktop desktop{boxes, pickers, shell, end, gui::ProgramFiles::locate()};
    engine::SystemRandom random;
    const platform::SystemClock clock;
    const engine::LocaleTextFormats formats;

    const QString settingsFile = desktop.files.writable(QLatin1String(gui::SettingsFileName));
    app::UnattendedRun unattended(boxes, random, clock, formats);
    app::LoadStep loadStep(boxes, end, unattended, settingsFile);
    gui::Options options;
    const app::LoadStep::Outcome started = loadStep.run(commandLine, options);

    gui::MainWindow window(desktop, random, clock, formats, options);
    // Kept when the window is closed, never when the program is ended at
    // once. Options that cannot be saved are lost; the window closes anyway.
    QObject::connect(&window, &gui::MainWindow::closed, &window,
                     [&] { gui::saveSettings(settingsFile, window.options()); });
    window.setSourcePath(started.fileToEncrypt);
    window.setExitStatus(started.exitStatus);
    window.createIconButtons();
    window.show();
    const int status = application.exec();
    return status != gui::ExitSuccess ? status : started.exitStatus;
}
