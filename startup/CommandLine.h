#pragma once

#include "desktop/CommandLineText.h"

#include <QString>

namespace veskard::startup {

// The switches, found anywhere in the command line, the file name included
// ("/e D:/r/x.txt" sets decrypt too). Upper case is no switch.
struct Switches {
    bool encrypt = false;    // "/e": lock the named file
    bool showResult = false; // "/s": say so when it worked
    bool decrypt = false;    // "/r": unlock the named file
    bool operator==(const Switches&) const = default;
};

// What the command line asks for. The switch form ("/e/s D:\my file.txt")
// has "/e" or "/r" and a blank; the file is everything after the first blank,
// further blanks included. Anything else is the plain form: the whole text
// names the file, switches and quotation marks included.
struct CommandLine {
    Switches switches;
    bool switchForm = false;
    QString fileName;
    bool operator==(const CommandLine&) const = default;
};

// The command line as one text, as Windows hands it over.
CommandLine readCommandLine(const QString& text);

// The command line as the system handed it over. Where the arguments come one
// by one (POSIX), the switches are the first argument's and the file is the
// rest: a search over the whole text would take the slashes of any path
// ("/home/rob/a b.txt", "/srv/x") for switches and cut the name at a blank of
// its own.
CommandLine readCommandLine(const desktop::CommandLineText& line);

} // namespace veskard::startup
