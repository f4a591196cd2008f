#include "gui/desktop/ProgramFiles.h"
#include "gui/desktop/Paths.h"
#include "support/TempFolder.h"
#include "support/posix/PermissionChecks.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace veskard;
using gui::fromPath;

// A copy carried around keeps its files beside it, and its folder as it was;
// an installed one in the user's data folder, made when needed, as does a
// copy in a folder the user may not write to or others may (they could swap
// set.ini for a link to a file of the user's; which folders those are, the
// platform's test shows).
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
