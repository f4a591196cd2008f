#include "gui/desktop/ProgramFiles.h"
#include "support/TempFolder.h"
#ifndef _WIN32
#include "support/posix/PermissionChecks.h"
#endif

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace veskard;

namespace {

QString textOf(const std::filesystem::path& path) {
    return QDir::fromNativeSeparators(QString::fromStdU16String(path.u16string()));
}

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

// A copy carried around keeps its files beside it; an installed one in the
// user's data folder, made when needed.
TEST(ProgramFiles, WritesBesideTheProgramUnlessInstalled) {
    test::TempFolder root;
    const QString carried = textOf(root / "stick");
    const QString userData = textOf(root / "home" / "data");
    QDir().mkpath(carried);
    QFile::setPermissions(carried, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    touch(carried + "/readme.txt");

    const gui::ProgramFiles besideCopy = gui::ProgramFiles::forProgramIn(carried, userData);
    EXPECT_EQ(besideCopy.writable("set.ini"), carried + "/set.ini");
    EXPECT_EQ(besideCopy.helpFile, carried + "/readme.txt");
    EXPECT_FALSE(QDir(userData).exists());
    EXPECT_EQ(QDir(carried).entryList(QDir::Files | QDir::Hidden), QStringList{"readme.txt"})
        << "the folder is left as it was";

    const QString bin = textOf(root / "usr" / "bin");
    QDir().mkpath(bin);
    QDir().mkpath(textOf(root / "usr" / "share" / "veskard"));
    const gui::ProgramFiles installed = gui::ProgramFiles::forProgramIn(bin, userData);
    EXPECT_EQ(installed.writable("set.ini"), userData + "/set.ini");
    EXPECT_TRUE(QDir(userData).exists());
    EXPECT_EQ(installed.helpFile, textOf(root / "usr" / "share" / "veskard" / "readme.txt"));
}

#ifndef _WIN32 // permission bits
// Where other users may write, they could swap set.ini for a link to a file
// of the user's; where the user may not, nothing could be kept.
TEST(ProgramFiles, WritesToTheUsersFolderWhenOthersMayWriteToTheProgramsOrTheUserMayNot) {
    test::TempFolder root;
    const QString userData = textOf(root / "data");
    for (const auto& [mode, beside] :
         {std::pair{0777, false}, std::pair{01777, false}, std::pair{0775, false},
          std::pair{0555, false}, std::pair{0755, true}}) {
        const auto program = root / ("program-" + std::to_string(mode));
        std::filesystem::create_directory(program);
        ASSERT_EQ(::chmod(program.c_str(), static_cast<mode_t>(mode)), 0);
        const test::PermissionChecksApplied asAnyUser;
        EXPECT_EQ(gui::ProgramFiles::forProgramIn(textOf(program), userData).writableFolder,
                  beside ? textOf(program) : userData)
            << std::oct << mode;
    }
}
#endif
