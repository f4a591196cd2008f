// How the program hands its command line to Qt, tried the way main() does it
// on a command line full of options Qt knows: this test program makes its
// application object itself.
#include "gui/desktop/ApplicationArguments.h"
#include "gui/desktop/CommandLineText.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <array>

namespace {

// "-platform" with a platform that does not exist would end the program at
// once if Qt took it; "-reverse" would turn every layout round.
std::array<char*, 7> userArgv{const_cast<char*>("Veskard"),
                              const_cast<char*>("/e/s"),
                              const_cast<char*>("-platform"),
                              const_cast<char*>("no-such-platform"),
                              const_cast<char*>("-reverse"),
                              const_cast<char*>("中文  -style"),
                              nullptr};
constexpr int userArgc = static_cast<int>(userArgv.size()) - 1;
veskard::gui::CommandLineText textBeforeQt;

} // namespace

TEST(ProgramStart, QtTakesNoneOfTheUsersArgumentsAndTheTextKeepsThemAll) {
    EXPECT_EQ(QCoreApplication::arguments(), QStringList{QStringLiteral("Veskard")});
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(textBeforeQt.arguments, (QList<QByteArray>{"/e/s", "-platform", "no-such-platform",
                                                         "-reverse", "中文  -style"}));
    EXPECT_EQ(veskard::gui::commandLineText(userArgc, userArgv.data()), textBeforeQt)
        << "the application object changed the user's arguments";
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    textBeforeQt = veskard::gui::commandLineText(userArgc, userArgv.data());
    veskard::gui::ApplicationArguments qtArguments(userArgv.data());
    QApplication application(qtArguments.argc(), qtArguments.argv());
    return RUN_ALL_TESTS();
}
