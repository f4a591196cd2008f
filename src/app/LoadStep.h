#pragma once

#include "app/UnattendedRun.h"
#include "gui/desktop/CommandLineText.h"
#include "gui/desktop/MessageBoxes.h"
#include "gui/desktop/ProgramEnd.h"
#include "gui/mainwindow/Settings.h"

namespace veskard::app {

// What the program does before its main window is shown: the saved options
// first, then the command line, which may hand a file to the unattended run.
class LoadStep {
public:
    // Follow the name of a file that was not found, or of something that is
    // there but is no file (a folder, a FIFO, a device).

    struct Outcome {
        // The existing file a plain command line names, for the
        // file-to-encrypt box, or the empty text.
        QString fileToEncrypt;
        // The program's, once its window is closed: a switch form that
        // locked or unlocked nothing fails, so that no script takes the file
        // for done.
        int exitStatus = gui::ExitSuccess;
        bool operator==(const Outcome&) const = default;
    };

    LoadStep(gui::MessageBoxes& boxes, gui::ProgramEnd& end, UnattendedRun& unattended,
             QString settingsFile);

    // Loads `options` from the settings file, then acts on `commandLine`. A
    // switch form naming an existing file runs unattended and ends the
    // program with its exit status; a named file that does not exist, is no
    // file, or has a name that is not text, is reported once, and the window
    // opens.
    Outcome run(const gui::CommandLineText& commandLine, gui::Options& options);

private:
    gui::MessageBoxes& boxes_;
    gui::ProgramEnd& end_;
    UnattendedRun& unattended_;
    QString settingsFile_;
};

} // namespace veskard::app
