#include "gui/desktop/ApplicationArguments.h"
#include "gui/desktop/CommandLineText.h"
#include "gui/desktop/MessageBoxes.h"
#include "gui/desktop/Paths.h"
#include "gui/desktop/ProgramFiles.h"
#include "support/TempFolder.h"
#include "support/desktop/ScriptedDesktop.h"
#ifndef _WIN32
#include "support/posix/PermissionChecks.h"
#endif

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace veskard;
using gui::Answer;
using gui::Buttons;
using gui::fromPath;
using gui::Icon;

// Qt is given the program's name alone: it would take "-platform" (ending the
// program at once) or "-reverse" (turning every layout round) for itself, and
// remove them from the arguments it is given. The user's are read before.
TEST(ProgramStart, QtIsGivenOnlyTheProgramsNameAndTheUsersArgumentsStayWhole) {
    std::array<char*, 5> argv{const_cast<char*>("Veskard"), const_cast<char*>("-platform"),
                              const_cast<char*>("no-such-platform"),
                              const_cast<char*>("中文  -reverse"), nullptr};
    gui::ApplicationArguments qtArguments(argv.data());
    EXPECT_EQ(qtArguments.argc(), 1);
    EXPECT_EQ(qtArguments.argv()[0], argv[0]);
    EXPECT_EQ(qtArguments.argv()[1], nullptr);
#ifndef _WIN32 // Windows hands over one text, which CommandLineTest reads
    EXPECT_EQ(gui::commandLineText(4, argv.data()).arguments,
              (QList<QByteArray>{"-platform", "no-such-platform", "中文  -reverse"}));
#endif
}

// Enter answers No where Yes cannot be taken back.
TEST(QtMessageBoxes, ShowTheTextUnderTheProgramsTitleWithChineseButtons) {
    const struct {
        Icon icon;
        Buttons buttons;
        QMessageBox::Icon shown;
        QMessageBox::StandardButton pressed;
        const char* caption;
        Answer answer;
    } cases[] = {
        {Icon::Stop, Buttons::YesNo, QMessageBox::Critical, QMessageBox::No, "否", Answer::No},
        {Icon::Question, Buttons::YesNo, QMessageBox::Question, QMessageBox::Yes, "是",
         Answer::Yes},
        {Icon::Question, Buttons::YesNoDefaultNo, QMessageBox::Question, {}, nullptr, Answer::No},
        {Icon::Exclamation, Buttons::Ok, QMessageBox::Warning, QMessageBox::Ok, "确定", Answer::Ok},
    };
    gui::QtMessageBoxes boxes;
    const QString text = QStringLiteral("你输入的密码不正确，请重新输入！  ");
    for (const auto& c : cases) {
        test::NextDialog<QMessageBox> person([&](QMessageBox& box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Veskard"));
            EXPECT_EQ(box.text(), text);
            EXPECT_EQ(box.icon(), c.shown);
            if (!c.caption)
                return QTest::keyClick(&box, Qt::Key_Return);
            QAbstractButton* button = box.button(c.pressed);
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->text().startsWith(QString::fromUtf8(c.caption)));
            QTest::mouseClick(button, Qt::LeftButton);
        });
        EXPECT_EQ(boxes.show(nullptr, text, c.icon, c.buttons), c.answer);
    }
}

#ifndef _WIN32 // permission bits
// Where others may write, they could swap set.ini for a link to a file of the user's.
TEST(ProgramFiles, WritesBesideTheProgramOnlyWhereOnlyTheUserMayWrite) {
    test::TempFolder root;
    const QString userData = fromPath(root / "home" / "data");
    for (const auto& [mode, beside] : {std::pair{0755, true}, {0775, false}, {0555, false}}) {
        const auto program = root / ("program-" + std::to_string(mode));
        std::filesystem::create_directory(program);
        test::writeFile(program / "readme.txt", {});
        ASSERT_EQ(::chmod(program.c_str(), static_cast<mode_t>(mode)), 0);
        const test::PermissionChecksApplied asAnyUser;
        const gui::ProgramFiles files =
            gui::ProgramFiles::forProgramIn(fromPath(program), userData);
        EXPECT_EQ(files.writable("set.ini"), (beside ? fromPath(program) : userData) + "/set.ini")
            << std::oct << mode;
        EXPECT_EQ(files.helpFile, fromPath(program / "readme.txt"));
        EXPECT_EQ(QDir(userData).exists(), !beside);
        EXPECT_EQ(test::TempFolder::namesIn(program).size(), 1u) << "the folder is left as it was";
    }

    const auto bin = root / "usr" / "bin";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(root / "usr" / "share" / "veskard");
    const gui::ProgramFiles installed = gui::ProgramFiles::forProgramIn(fromPath(bin), userData);
    EXPECT_EQ(installed.writable("set.ini"), userData + "/set.ini");
    EXPECT_EQ(installed.helpFile, fromPath(root / "usr" / "share" / "veskard" / "readme.txt"));
}
#endif
