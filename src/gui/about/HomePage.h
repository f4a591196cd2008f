#pragma once

#include "gui/desktop/ProgramFiles.h"

#include <QString>

namespace veskard::gui {

// The project's home page as the build was configured with
// (-DVESKARD_HOME_PAGE=...); empty while there is no public site.
QString configuredHomePage();

// What the About window's link and "马上去看看！" open: the configured home
// page, or else the help file shipped with the program.
QString homePage(const ProgramFiles& files);

} // namespace veskard::gui
