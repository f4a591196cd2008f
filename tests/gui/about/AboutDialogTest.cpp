#include "gui/about/AboutDialog.h"
#include "gui/about/HomePage.h"
#include "gui/about/LinkLabel.h"
#include "support/desktop/RecordingShell.h"
#include "support/desktop/ScriptedFilePickers.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QAccessible>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::LinkLabel;

// How it looks, the window design test checks; here, what it does.
TEST(AboutDialog, TheLinkIsLightOrangeWhileHeldAndItAndTheButtonsOpenWhatTheySay) {
    ScriptedMessageBoxes boxes;
    ScriptedFilePickers pickers;
    RecordingShell shell;
    RecordingProgramEnd end;
    const gui::Desktop desktop{boxes, pickers, shell, end,
                               gui::ProgramFiles{QStringLiteral("/opt/veskard"),
                                                 QStringLiteral("/home/user/.local/veskard"),
                                                 QStringLiteral("/opt/veskard/readme.txt")}};
    gui::AboutDialog window(nullptr, desktop, {});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Enter presses 确定, which closes the window.
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    window.show();
    auto* link = window.findChild<LinkLabel*>();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(link)->role(), QAccessible::Link);
    EXPECT_EQ(link->textColour(), LinkLabel::Colour);

    QTest::mouseClick(link, Qt::RightButton);
    QTest::mousePress(link, Qt::LeftButton);
    EXPECT_EQ(link->textColour(), LinkLabel::HeldColour);
    EXPECT_TRUE(shell.opened.empty()) << "opened on release, never by the right button";
    QTest::mouseRelease(link, Qt::LeftButton);
    EXPECT_EQ(link->textColour(), LinkLabel::Colour);
    EXPECT_EQ(shell.opened, std::vector<QString>{gui::homePage(desktop.files)});

    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(shell.inEditor, std::vector<QString>{desktop.files.helpFile});
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    EXPECT_EQ(shell.opened, std::vector<QString>(2, gui::homePage(desktop.files)));
    // Without a public site the home page is the help file itself.
    if (gui::configuredHomePage().isEmpty()) {
        EXPECT_EQ(gui::homePage(desktop.files), desktop.files.helpFile);
    }
}

} // namespace
} // namespace veskard::test
