#include "gui/about/AboutDialog.h"
#include "gui/about/HomePage.h"
#include "gui/about/LinkLabel.h"
#include "support/desktop/RecordingShell.h"
#include "support/desktop/ScriptedFilePickers.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::AboutDialog;
using gui::configuredHomePage;
using gui::LinkLabel;

class AboutDialogTest : public ::testing::Test {
protected:
    // The About window as it opens for a system registered to `registered`.
    std::unique_ptr<AboutDialog> open(const platform::RegisteredOwner& registered) {
        auto window = std::make_unique<AboutDialog>(nullptr, desktop_, registered);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    static QString text(const AboutDialog& window, const char* label) {
        const auto* found = window.findChild<QLabel*>(QLatin1String(label));
        return found ? found->text() : QStringLiteral("(no %1)").arg(QLatin1String(label));
    }

    ScriptedMessageBoxes boxes_;
    ScriptedFilePickers pickers_;
    RecordingShell shell_;
    RecordingProgramEnd end_;
    gui::Desktop desktop_{boxes_, pickers_, shell_, end_,
                          gui::ProgramFiles{QStringLiteral("/opt/veskard"),
                                            QStringLiteral("/home/user/.local/veskard"),
                                            QStringLiteral("/opt/veskard/readme.txt")}};
};

TEST_F(AboutDialogTest, ShowsTheTitleTheOwnerAndTheDescription) {
    const auto window = open({"张三", "某某有限公司"});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("关于Orvessa"));
    EXPECT_EQ(window->size(), QSize(342, 198)) << "5130 x 2970 twips";
#ifdef Q_OS_WIN
    EXPECT_EQ(text(*window, "Label2"), QStringLiteral("Veskard v1.6 for Win32"));
#else
    EXPECT_EQ(text(*window, "Label2"), QStringLiteral("Veskard v1.6 for Linux"));
#endif
    EXPECT_EQ(text(*window, "Label3"), QStringLiteral("本软件使用权属于：\n张三\n某某有限公司"));
    EXPECT_EQ(
        text(*window, "Label6"),
        QStringLiteral("你是否想在自已的文件中加上Veskard的功能呢？很简单，只须使用本软件！") +
            QString(58, QLatin1Char(' ')));

    // Every control says what it is and what it is called; the link is a link.
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(face, nullptr);
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty()) << widget->objectName().toStdString();
        EXPECT_NE(face->role(), QAccessible::Client) << widget->objectName().toStdString();
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window->findChild<LinkLabel*>())->role(),
              QAccessible::Link);

    // Enter presses "确定", which closes the window.
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(AboutDialogTest, TheLinkIsLightOrangeWhileHeldAndItAndTheButtonsOpenWhatTheySay) {
    const auto window = open({});
    auto* link = window->findChild<LinkLabel*>();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->textColour(), LinkLabel::Colour);
    EXPECT_TRUE(link->font().bold() && link->font().underline());

    QTest::mouseClick(link, Qt::RightButton);
    EXPECT_EQ(link->textColour(), LinkLabel::Colour);
    EXPECT_TRUE(shell_.opened.empty());

    QTest::mousePress(link, Qt::LeftButton);
    EXPECT_EQ(link->textColour(), LinkLabel::HeldColour);
    EXPECT_TRUE(shell_.opened.empty());
    QTest::mouseRelease(link, Qt::LeftButton);
    EXPECT_EQ(link->textColour(), LinkLabel::Colour);
    EXPECT_EQ(shell_.opened, std::vector<QString>{homePage(desktop_.files)});

    // An unknown owner leaves two empty lines; the buttons open the help file
    // and the home page.
    EXPECT_EQ(text(*window, "Label3"), QStringLiteral("本软件使用权属于：\n\n"));
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(shell_.inEditor, std::vector<QString>{QStringLiteral("/opt/veskard/readme.txt")});
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    EXPECT_EQ(shell_.opened, std::vector<QString>(2, homePage(desktop_.files)));
    // Without a public site the home page is the help file itself.
    if (configuredHomePage().isEmpty()) {
        EXPECT_EQ(homePage(desktop_.files), desktop_.files.helpFile);
    }
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace veskard::test
