#include "desktop/ProgramFiles.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace veskard;

namespace {

QString textOf(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
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
    touch(carried + "/readme.txt");

    const desktop::ProgramFiles besideCopy = desktop::ProgramFiles::forProgramIn(carried, userData);
    EXPECT_EQ(besideCopy.writable("set.ini"), carried + "/set.ini");
    EXPECT_EQ(besideCopy.helpFile, carried + "/readme.txt");
    EXPECT_FALSE(QDir(userData).exists());
    EXPECT_EQ(QDir(carried).entryList(QDir::Files | QDir::Hidden), QStringList{"readme.txt"})
        << "the folder is left as it was";

    const QString bin = textOf(root / "usr" / "bin");
    QDir().mkpath(bin);
    QDir().mkpath(textOf(root / "usr" / "share" / "veskard"));
    const desktop::ProgramFiles installed = desktop::ProgramFiles::forProgramIn(bin, userData);
    EXPECT_EQ(installed.writable("set.ini"), userData + "/set.ini");
    EXPECT_TRUE(QDir(userData).exists());
    EXPECT_EQ(installed.helpFile, textOf(root / "usr" / "share" / "veskard" / "readme.txt"));
}

TEST(ProgramFiles, WritesToTheUsersFolderWhenTheProgramsCannotBeWritten) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "every folder is writable for root";
    test::TempFolder root;
    const QString locked = textOf(root / "locked");
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const QString userData = textOf(root / "data");
    EXPECT_EQ(desktop::ProgramFiles::forProgramIn(locked, userData).writableFolder, userData);
}
