// The main of every test program with windows: one application object for all
// its tests, on the offscreen platform unless the caller chose another, and
// with the Chinese texts the program itself loads.
#include "gui/desktop/ApplicationArguments.h"
#include "gui/desktop/Translations.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    veskard::gui::ApplicationArguments qtArguments(argv);
    QApplication application(qtArguments.argc(), qtArguments.argv());
    veskard::gui::installChineseTranslations(application);
    return RUN_ALL_TESTS();
}
