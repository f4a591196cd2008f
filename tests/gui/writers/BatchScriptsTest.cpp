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
using gui::systemScriptName;
using gui::toPath;
using gui::writeScripts;
using Names = std::vector<std::filesystem::path>;
constexpr auto listing = &TempFolder::namesIn;

// Every text the scripts and the report show, each exactly once.
TEST(FileNotices, EachFailureOfTheProgramsFilesIsToldInItsOwnWords) {
    const auto told = [](const char* text) { return engine::Notice{engine::Icon::Stop, text}; };
    EXPECT_EQ(gui::fileFailureNotice(FileError::NotAVisibleFile),
              told("找不到该文件，或者它是隐藏文件或系统文件！    "));
    EXPECT_EQ(gui::fileFailureNotice(FileError::NameTooShort), told("文件名不足四个字符！    "));
    EXPECT_EQ(gui::fileFailureNotice(FileError::FileNameNotInCodePage),
              told("文件的路径中有当前代码页无法表示的字符，无法生成批处理文件！    "));
    EXPECT_EQ(gui::fileFailureNotice(FileError::ProgramFolderNotInCodePage),
              told("程序所在文件夹的路径中有当前代码页无法表示的字符，无法生成批处理文件！    "));
    EXPECT_EQ(gui::fileFailureNotice(FileError::EditorNotStarted),
              told("无法启动文本编辑器！    "));
    // The file is locked all the same: a notice, not a refusal.
    EXPECT_EQ(gui::scriptFolderTakenNotice(QStringLiteral("D:\\work\\plan")),
              (engine::Notice{engine::Icon::Exclamation,
                              "文件夹“D:\\work\\plan”已经存在，没有在其中生成批处理文件。"}));
    EXPECT_EQ(gui::noBaseNameNotice(QStringLiteral("abcd")),
              (engine::Notice{engine::Icon::Exclamation,
                              "文件名“abcd”去掉最后四个字符后为空，没有生成批处理文件。"}));
}

class BatchScripts : public testing::Test {
protected:
    TempFolder folder;
    // The scripts name the program; it need not exist to be named.
    const QString program = fromPath(folder / "bin" / "Veskard");

    QString fileNamed(const std::string& name, platform::FileAttributes attributes = {}) {
        writeFile(folder / name, patternBytes(200));
        EXPECT_FALSE(platform::writeAttributes(folder / name, attributes));
        return fromPath(folder / name);
    }
    // What the script for `action` in `scripts` holds, and what it should.
    static std::vector<std::byte> script(const std::filesystem::path& scripts,
                                         ScriptAction action) {
        return readFile(scripts / toPath(systemScriptName(action)));
    }
    static std::vector<std::byte> expected(ScriptAction action, const QString& program,
                                           const QString& file) {
        const QByteArray text = gui::systemScript(action, program, file)->text;
        const auto* bytes = reinterpret_cast<const std::byte*>(text.constData());
        return {bytes, bytes + text.size()};
    }
};

TEST_F(BatchScripts, WritesTheChosenScriptsIntoANewFolderNamedAfterTheFile) {
    for (const bool encrypt : {false, true}) {
        TempFolder scratch;
        writeFile(scratch / "plan.doc", patternBytes(200));
        const QString file = fromPath(scratch / "plan.doc");
        const Names none{"plan.doc"};
        ASSERT_TRUE(writeScripts(false, false, file, program).ok());
        EXPECT_EQ(listing(scratch.path()), none);

        ASSERT_TRUE(writeScripts(encrypt, !encrypt, file, program).ok());
        const ScriptAction action = encrypt ? ScriptAction::Encrypt : ScriptAction::Revert;
        EXPECT_EQ(listing(scratch / "plan"), Names{toPath(systemScriptName(action))});
        EXPECT_EQ(script(scratch / "plan", action), expected(action, program, file));
    }
}

TEST_F(BatchScripts, RelativeNameIsTakenFromTheCurrentFolderAndNamedInFull) {
    const QString file = fileNamed("plan.doc");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const engine::JobStatus status = writeScripts(true, false, QStringLiteral("plan.doc"), program);
    std::filesystem::current_path(previous);

    ASSERT_TRUE(status.ok());
    EXPECT_EQ(script(folder / "plan", ScriptAction::Encrypt),
              expected(ScriptAction::Encrypt, program, file));
}

// Whatever stands under the folder's name was not made by this lock (another
// user may have put scripts there that look like ours): it is left as it is,
// and the person is told that no scripts were written.
TEST_F(BatchScripts, TakenFolderNameIsToldAndLeftAsItIs) {
    const QString plan = fileNamed("plan.doc");
    std::filesystem::create_directory(folder / "plan");
    const auto earlier = folder / "plan" / toPath(systemScriptName(ScriptAction::Encrypt));
    writeFile(earlier, {std::byte{'x'}});
    const QString note = fileNamed("note.txt");
    writeFile(folder / "note", {std::byte{'y'}});
    for (const QString& file : {plan, note}) {
        const engine::JobStatus status = writeScripts(true, true, file, program);
        EXPECT_EQ(status.cause(), make_error_code(FileError::ScriptFolderTaken));
        EXPECT_EQ(status.notice(), gui::scriptFolderTakenNotice(file.chopped(4)));
    }
    EXPECT_EQ(readFile(earlier), std::vector{std::byte{'x'}});
    EXPECT_EQ(listing(folder / "plan"), Names{earlier.filename()});
    EXPECT_EQ(readFile(folder / "note"), std::vector{std::byte{'y'}});

    // A four-character name leaves an empty base name: the folder would be the file's own.
    const Names before = listing(folder.path());
    const engine::JobStatus status = writeScripts(true, true, fileNamed("abcd"), program);
    EXPECT_EQ(status.cause(), make_error_code(FileError::NoBaseName));
    EXPECT_EQ(status.notice(), gui::noBaseNameNotice(QStringLiteral("abcd")));
    EXPECT_EQ(listing(folder.path()).size(), before.size() + 1) << "abcd, and nothing else";
}

TEST_F(BatchScripts, FilesItCannotNameAreShownInvalidArgumentsBeforeAnythingIsCreated) {
    const std::pair<QString, FileError> cases[] = {
        {fileNamed("hidden.doc", platform::FileAttribute::Hidden), FileError::NotAVisibleFile},
        {fileNamed("system.doc", platform::FileAttribute::System), FileError::NotAVisibleFile},
        {fromPath(folder / "missing.doc"), FileError::NotAVisibleFile},
        {fileNamed("a.b"), FileError::NameTooShort},
    };
    const Names before = listing(folder.path());
    for (const auto& [file, error] : cases) {
        const engine::JobStatus status = writeScripts(true, false, file, program);
        EXPECT_EQ(status.cause(), make_error_code(error));
        EXPECT_EQ(status.cause(), std::errc::invalid_argument);
        EXPECT_EQ(status.notice(), gui::fileFailureNotice(error));
    }
    EXPECT_EQ(listing(folder.path()), before);
}

} // namespace
} // namespace veskard::test
