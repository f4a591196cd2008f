#include "gui/writers/BatchScripts.h"

#include "engine/Notice.h"
#include "gui/desktop/Paths.h"
#include "gui/writers/FileError.h"
#include "gui/writers/SystemScript.h"
#include "platform/FileAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::FileError;
using gui::fromPath;
using gui::ScriptAction;
using gui::writeScripts;
using Names = std::vector<std::filesystem::path>;
constexpr auto listing = &TempFolder::namesIn;

class BatchScripts : public testing::Test {
protected:
    TempFolder folder;
    // The scripts name the program; it need not exist to be named.
    const QString program = fromPath(folder / "bin" / "Veskard");
    const std::filesystem::path encrypt = gui::toPath(gui::systemScriptName(ScriptAction::Encrypt));
    const std::filesystem::path revert = gui::toPath(gui::systemScriptName(ScriptAction::Revert));

    QString fileNamed(const std::string& name, platform::FileAttributes attributes = {}) {
        writeFile(folder / name, patternBytes(200));
        EXPECT_FALSE(platform::writeAttributes(folder / name, attributes));
        return fromPath(folder / name);
    }
};

// Only the scripts ticked, in a new folder named after the file; a relative
// name is taken from the current folder and named in full.
TEST_F(BatchScripts, WritesTheChosenScriptsIntoANewFolderNamedAfterTheFile) {
    const QString file = fileNamed("plan.doc");
    ASSERT_TRUE(writeScripts(false, false, file, program).ok());
    EXPECT_EQ(listing(folder.path()), Names{"plan.doc"});

    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const engine::JobStatus status = writeScripts(false, true, QStringLiteral("plan.doc"), program);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(status.ok());
    EXPECT_EQ(listing(folder / "plan"), Names{revert});
    const QByteArray text = gui::systemScript(ScriptAction::Revert, program, file)->text;
    EXPECT_EQ(readFile(folder / "plan" / revert),
              std::vector(reinterpret_cast<const std::byte*>(text.cbegin()),
                          reinterpret_cast<const std::byte*>(text.cend())));
}

// Whatever stands under the folder's name was not made by this lock (another
// user may have put scripts there that look like ours): it is left as it is,
// and the person is told. A four-character name leaves no base name. A file
// the scripts cannot name is refused before anything is created.
TEST_F(BatchScripts, WritesNothingWhereTheFolderIsTakenOrTheFileCannotBeNamed) {
    const QString plan = fileNamed("plan.doc");
    std::filesystem::create_directory(folder / "plan");
    writeFile(folder / "plan" / encrypt, {std::byte{'x'}});
    const QString note = fileNamed("note.txt");
    writeFile(folder / "note", {std::byte{'y'}});
    for (const QString& file : {plan, note}) {
        const engine::JobStatus status = writeScripts(true, true, file, program);
        EXPECT_EQ(status.cause(), make_error_code(FileError::ScriptFolderTaken));
        EXPECT_EQ(status.notice(), gui::scriptFolderTakenNotice(file.chopped(4)));
    }
    EXPECT_EQ(readFile(folder / "plan" / encrypt), std::vector{std::byte{'x'}});
    EXPECT_EQ(listing(folder / "plan"), Names{encrypt});
    EXPECT_EQ(readFile(folder / "note"), std::vector{std::byte{'y'}});

    const std::pair<QString, std::optional<engine::Notice>> refused[] = {
        {fileNamed("abcd"), gui::noBaseNameNotice(QStringLiteral("abcd"))},
        {fileNamed("hidden.doc", platform::FileAttribute::Hidden),
         gui::fileFailureNotice(FileError::NotAVisibleFile)},
        {fileNamed("system.doc", platform::FileAttribute::System),
         gui::fileFailureNotice(FileError::NotAVisibleFile)},
        {fromPath(folder / "missing.doc"), gui::fileFailureNotice(FileError::NotAVisibleFile)},
        {fileNamed("a.b"), gui::fileFailureNotice(FileError::NameTooShort)},
    };
    const Names before = listing(folder.path());
    for (const auto& [file, notice] : refused)
        EXPECT_EQ(writeScripts(true, false, file, program).notice(), notice) << file.toStdString();
    EXPECT_EQ(listing(folder.path()), before);
}

} // namespace
} // namespace veskard::test
