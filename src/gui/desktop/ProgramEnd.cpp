#include "gui/desktop/ProgramEnd.h"

#include <cstdio>
#include <cstdlib>

namespace veskard::gui {

void ImmediateProgramEnd::now(int exitStatus) {
    std::fflush(nullptr);
    std::_Exit(exitStatus);
}

} // namespace veskard::gui
