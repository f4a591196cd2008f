#pragma once

#include <QString>

namespace veskard::desktop {

// Everything after the program's own name, exactly as the system handed it
// over: the raw command-line text on Windows, the arguments joined with single
// blanks on POSIX. Neither split nor trimmed; quotation marks stay. Take it
// before QApplication exists, which would remove the arguments it knows
// (a file named "-style" must stay a file name).
QString commandLineText(int argc, char** argv);

} // namespace veskard::desktop
