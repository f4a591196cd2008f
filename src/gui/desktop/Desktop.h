#pragma once

#include "gui/desktop/FilePickers.h"
#include "gui/desktop/MessageBoxes.h"
#include "gui/desktop/ProgramEnd.h"
#include "gui/desktop/ProgramFiles.h"
#include "gui/desktop/Shell.h"

namespace veskard::gui {

// The desktop services a window needs, handed to it when it is made: the real
// ones in the program, doubles that answer for the person in tests.
struct Desktop {
    MessageBoxes& boxes;
    FilePickers& pickers;
    Shell& shell;
    ProgramEnd& end;
    ProgramFiles files;
};

} // namespace veskard::gui
