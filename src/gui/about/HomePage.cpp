#include "gui/about/HomePage.h"

#include "gui/about/HomePageAddress.h"

namespace veskard::gui {

QString configuredHomePage() {
    return QString::fromUtf8(VESKARD_HOME_PAGE);
}

QString homePage(const ProgramFiles& files) {
    const QString configured = configuredHomePage();
    return configured.isEmpty() ? files.helpFile : configured;
}

} // namespace veskard::gui
