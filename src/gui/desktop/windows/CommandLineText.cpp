#include "gui/desktop/CommandLineText.h"

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace veskard::gui {

// The program's name ends at the next quotation mark when it starts with one,
// else at the first blank or tab (the system's own rule for it); the blanks
// that follow it separate it from the arguments.
CommandLineText commandLineText(int, char**) {
    const QString line = QString::fromWCharArray(::GetCommandLineW());
    qsizetype at = 0;
    if (line.startsWith(QLatin1Char('"'))) {
        at = line.indexOf(QLatin1Char('"'), 1);
        at = at < 0 ? line.size() : at + 1;
    } else {
        while (at < line.size() && line[at] != QLatin1Char(' ') && line[at] != QLatin1Char('\t'))
            ++at;
    }
    while (at < line.size() && (line[at] == QLatin1Char(' ') || line[at] == QLatin1Char('\t')))
        ++at;
    return {line.mid(at), {}};
}

} // namespace veskard::gui
