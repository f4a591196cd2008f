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

// How it looks, the window design test checks; here, what it does. Without a
// public site the home page is the help file itself.
TEST(AboutDialog, TheLinkIsLightOrangeWhileHeldAndItAndTheButtonsOpenWhatTheySay) {
    ScriptedMessageBoxes boxes;
    ScriptedFilePickers pickers;
    RecordingShell shell;
    RecordingProgramEnd end;
    const gui::Desktop desktop{boxes, pickers, shell, end, gui::ProgramFiles{"/a", "/b", "/a/r"}};
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
    EXPECT_EQ(shell.opened, std::vector<QString>{home}) << "on release, never by the right button";

    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(shell.inEditor, std::vector<QString>{"/a/r"});
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    EXPECT_EQ(shell.opened, std::vector<QString>(2, home));
}

} // namespace
} // namespace veskard::test
