#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace veskard::gui {

// Everything after the program's own name, exactly as the system handed it
// over. Take it before QApplication exists, which would remove the arguments
// it knows (a file named "-style" must stay a file name).
struct CommandLineText {
    // Windows: the raw command line as one text, neither split nor trimmed,
    // quotation marks kept. Empty on POSIX.
    QString text;
    // POSIX: the arguments one by one, each the bytes it was given as (a file
    // name need not be UTF-8). Where one argument ends matters there: every
    // path is full of slashes (see app/CommandLine). Empty on Windows.
    QList<QByteArray> arguments;
    bool operator==(const CommandLineText&) const = default;
};

CommandLineText commandLineText(int argc, char** argv);

} // namespace veskard::gui
