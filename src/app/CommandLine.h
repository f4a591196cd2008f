#pragma once

#include "gui/desktop/CommandLineText.h"

#include <QString>

namespace veskard::app {

// The switches. Upper case is no switch.
struct Switches {
    bool encrypt = false;    // "/e": lock the named file
    bool showResult = false; // "/s": say so when it worked
    bool decrypt = false;    // "/r": unlock the named file
    bool strong = false;     // "/k": with "/e", lock it strongly
    bool operator==(const Switches&) const = default;
};

// What the command line asks for. The switch form ("/e/s D:\my file.txt")
// has "/e" or "/r" and a file name after them; anything else is the plain
// form, whose whole text names the file, switches and quotation marks
// included.
struct CommandLine {
    Switches switches;
    bool switchForm = false;
    QString fileName;
    // Instead of the file name, what to tell when no text can stand for it
    // (gui::NameText); empty otherwise.
    QString nameRefusal;
    bool operator==(const CommandLine&) const = default;
};

// The command line as one text, as Windows hands it over. The switches are
// found anywhere in it, the file name included ("/e D:/r/x.txt" sets decrypt
// too); the file is everything after the first blank, further blanks
// included.
CommandLine readCommandLine(const QString& text);

// The command line as the system handed it over. Where the arguments come one
// by one (POSIX), only a first argument made of switches alone ("/e/s",
// "/e/k/s", "/r") holds them, and the file is the rest joined with single
// blanks: any path is full of slashes ("/home/rob/a b.txt",
// "./every/one.txt"), which a search would take for switches.
CommandLine readCommandLine(const gui::CommandLineText& line);

} // namespace veskard::app
