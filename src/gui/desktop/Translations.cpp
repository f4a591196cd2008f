#include "gui/desktop/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace veskard::gui {

bool installChineseTranslations(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    // Beside the program first (a Windows copy carries its own), then Qt's folder.
    const bool loaded =
        translator->load(QStringLiteral("qtbase_zh_CN"), QCoreApplication::applicationDirPath()) ||
        translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!loaded) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace veskard::gui
