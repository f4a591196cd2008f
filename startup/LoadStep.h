#pragma once

#include "desktop/CommandLineText.h"
#include "desktop/MessageBoxes.h"
#include "desktop/ProgramEnd.h"
#include "startup/Settings.h"
#include "startup/UnattendedRun.h"

namespace veskard::startup {

// What the program does before its main window is shown: the saved options
// first, then the command line, which may hand a file to the unattended run.
class LoadStep {
public:
    // Follows the name of a file that was not found.
    static const QString NotFoundText;

    LoadStep(desktop::MessageBoxes& boxes, desktop::ProgramEnd& end, UnattendedRun& unattended,
             QString settingsFile);

    // Loads `options` from the settings file, then acts on `commandLine`. A
    // switch form naming an existing file runs unattended and ends the
    // program with its exit status; a named file that does not exist is
    // reported once. Returns the existing file a plain command line names,
    // for the file-to-encrypt box, or the empty text.
    QString run(const desktop::CommandLineText& commandLine, Options& options);

private:
    desktop::MessageBoxes& boxes_;
    desktop::ProgramEnd& end_;
    UnattendedRun& unattended_;
    QString settingsFile_;
};

} // namespace veskard::startup
