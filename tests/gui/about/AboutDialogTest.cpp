#include "gui/about/AboutDialog.h"
#include "gui/about/HomePage.h"
#include "gui/about/LinkLabel.h"
#include "support/desktop/ScriptedDesktop.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace veskard::test {
namespace {

using gui::LinkLabel;

// Without a public site the home page is the help file itself.
TEST(AboutDialog, TheLinkIsLightOrangeWhileHeldAndItAndTheButtonsOpenWhatTheySay) {
    ScriptedDesktop scripted;
    const gui::Desktop desktop = scripted.with({"/a", "/b", "/a/r"});
    const QString home =
        gui::configuredHomePage().isEmpty() ? "/a/r" : gui::homePage(desktop.files);
    gui::AboutDialog window(nullptr, desktop, {});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_FALSE(window.isVisible()) << "Enter presses 确定, which closes the window";
    window.show();
    auto* link = window.findChild<LinkLabel*>();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(link)->role(), QAccessible::Link);
    QTest::mouseClick(link, Qt::RightButton);
    QTest::mousePress(link, Qt::LeftButton);
    EXPECT_EQ(link->textColour(), LinkLabel::HeldColour);
    QTest::mouseRelease(link, Qt::LeftButton);
    EXPECT_EQ(link->textColour(), LinkLabel::Colour);
    EXPECT_EQ(scripted.shell.opened, std::vector<QString>{home})
        << "on release, never by the right button";

    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(scripted.shell.inEditor, std::vector<QString>{"/a/r"});
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    EXPECT_EQ(scripted.shell.opened, std::vector<QString>(2, home));
}

#ifdef _WIN32
// The owner the system was registered to, as the registry has it at each opening.
TEST(AboutDialog, ShowsWhomTheRegistrySaysTheSystemIsRegisteredTo) {
    const auto registerTo = [](const std::wstring& name) {
        return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE,
                                 L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                 L"RegisteredOwner", REG_SZ, name.c_str(),
                                 static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    };
    const std::string before = platform::registeredOwner().name;
    ASSERT_EQ(registerTo(L"张三"), ERROR_SUCCESS);
    NextDialog<gui::AboutDialog> about([](gui::AboutDialog& window) {
        EXPECT_EQ(window.findChild<QLabel*>("Label3")->text().section('\n', 1, 1), "张三");
        window.accept();
    });
    gui::showAbout(nullptr, ScriptedDesktop().with({}));
    registerTo(QString::fromStdString(before).toStdWString());
}
#endif

} // namespace
} // namespace veskard::test
