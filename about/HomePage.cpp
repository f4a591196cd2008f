#include "about/HomePage.h"

#include "HomePageAddress.h"

namespace veskard {

QString configuredHomePage() {
    return QString::fromUtf8(VESKARD_HOME_PAGE);
}

QString homePage(const desktop::ProgramFiles& files) {
    const QString configured = configuredHomePage();
    return configured.isEmpty() ? files.helpFile : configured;
}

} // namespace veskard
