#pragma once

#include <QString>
#include <QStringList>

namespace veskard::desktop {

// Everything after the program's own name, exactly as the system handed it
// over. Take it before QApplication exists, which would remove the arguments
// it knows (a file named "-style" must stay a file name).
struct CommandLineText {
    // The one text: the raw command line on Windows, neither split nor
    // trimmed, quotation marks kept; on POSIX the arguments joined with single
    // blanks.
    QString text;
    // POSIX hands the arguments over one by one, and they are kept: there every
    // path is full of slashes, so where one argument ends matters (see
    // startup/CommandLine). Empty on Windows.
    QStringList arguments;
    bool operator==(const CommandLineText&) const = default;
};

CommandLineText commandLineText(int argc, char** argv);

} // namespace veskard::desktop
