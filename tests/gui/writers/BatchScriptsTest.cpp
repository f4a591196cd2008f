#include "gui/writers/BatchScripts.h"

#include "engine/Notice.h"
#include "engine/Version.h"
#include "gui/desktop/Paths.h"
#include "gui/writers/FileError.h"
#include "gui/writers/ScriptText.h"
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

TEST(ShortPath, DropsBlanksAndCutsLongPartsKeepingEveryPart) {
    for (const auto& [path, shortened] : std::vector<std::pair<QString, QString>>{
             {"C:\\Program Files\\File Tools\\", "C:\\Progra~1\\FileTo~1\\"},
             {"C:\\Programs\\", "C:\\Programs\\"}, // eight stay
             {"D:\\工具\\一二三四五六七八九\\", "D:\\工具\\一二三四五六~1\\"},
             {"\\\\server\\My Share\\\\x", "\\\\server\\MyShare\\\\x"}})
        EXPECT_EQ(gui::shortPath(path), shortened) << path.toStdString();
}

// CR LF between lines and none after the last, which names the short program
// folder, the switches and the file. Comments may lose characters the code
// page lacks to question marks; cmd.exe expands a % even in a comment. The
// expected bytes are written out, so that they do not come from the code
// under test.
TEST(BatchScriptText, HasThreeCommentsAndALastLineThatStartsTheProgramOnTheFile) {
    const QString tools = QStringLiteral("C:\\Tools"),
                  plan = QStringLiteral("D:\\work\\100%plan.doc");
    const QByteArray top = "rem " + QByteArray(56, '*') + "\r\nrem Veskard v" +
                           QByteArray::number(engine::VersionMajor) + "." +
                           QByteArray::number(engine::VersionMinor) + " ";
    EXPECT_EQ(
        *gui::batchScriptText(tools, plan, ScriptAction::Encrypt, 936),
        top + "\xCE\xC4\xBC\xFE\xBC\xD3\xC3\xDC\xB9\xA4\xBE\xDF\r\n" // 文件加密工具
              "rem \xCE\xC4\xBC\xFE\xA3\xBA"                         // 文件：
              "D:\\work\\100%%plan.doc\r\n\r\nC:\\Tools\\Veskard.exe /e/s D:\\work\\100%%plan.doc");
    EXPECT_EQ(*gui::batchScriptText(tools, plan, ScriptAction::Revert, 437),
              top + "??????\r\nrem ???D:\\work\\100%%plan.doc\r\n\r\n"
                    "C:\\Tools\\Veskard.exe /r/s D:\\work\\100%%plan.doc");
}

// The last line is in the code page cmd.exe reads it in, and escapes by
// character every one that cmd.exe acts on, so that no other command can
// start: in code page 936 the second byte of 億 (83 7C) is no pipe, in 437 a
// 7C would be. A file or program folder the code page cannot name exactly
// gets no script. (A folder is cut by shortPath.)
TEST(BatchScriptText, LastLineNamesFileAndProgramExactlyInTheCodePageOrNotAtAll) {
    const QString tools = QStringLiteral("C:\\Tools");
    const QString pwn = QStringLiteral("D:\\億 mkdir PWN7 .txt");
    // The code page, the program's folder, the file, the last line or else the refusal.
    const std::tuple<unsigned, QString, QString, QByteArray, FileError> cases[] = {
        // clang-format off
        {437, tools, pwn, {}, FileError::FileNameNotInCodePage},
        {936, tools, QStringLiteral("D:\\億&億.doc"), "C:\\Tools\\Veskard.exe /e/s D:\\\x83\x7C^&\x83\x7C.doc", {}},
        {437, tools, QStringLiteral("D:\\R&D (1)\\a^b!c|d<e>f%g.doc"), "C:\\Tools\\Veskard.exe /e/s D:\\R^&D (1)\\a^^b!c^|d^<e^>f%%g.doc", {}},
        {437, QStringLiteral("C:\\R&D"), QStringLiteral("D:\\caf\u00E9.doc"), "C:\\R^&D\\Veskard.exe /e/s D:\\caf\x82.doc", {}},
        {850, QStringLiteral("C:/Program Files/\u00DCbersetzung Werkzeuge"), QStringLiteral("D:\\plan.doc"),
         "C:\\Progra~1\\\x9A" "berse~1\\Veskard.exe /e/s D:\\plan.doc", {}},
        {437, QStringLiteral("C:\\工具"), QStringLiteral("D:\\plan.doc"), {}, FileError::ProgramFolderNotInCodePage},
        // clang-format on
    };
    for (const auto& [codePage, folder, file, lastLine, refusal] : cases) {
        SCOPED_TRACE(file.toStdString() + " in " + std::to_string(codePage));
        const Result<QByteArray> text =
            gui::batchScriptText(folder, file, ScriptAction::Encrypt, codePage);
        if (lastLine.isEmpty()) {
            EXPECT_EQ(text.error(), make_error_code(refusal));
        } else {
            ASSERT_TRUE(text) << text.error().message();
            EXPECT_EQ(text->mid(text->lastIndexOf("\r\n") + 2), lastLine);
        }
    }
}

// The scripts name the program; it need not exist to be named. A relative
// name is taken from the current folder and named in full. Whatever stands
// under the folder's name was not made by this lock (another user may have
// put scripts there that look like ours). A four-character name leaves no
// base name.
TEST(BatchScripts, WritesTheChosenScriptsIntoANewFolderForAFileTheyCanName) {
    TempFolder folder;
    const QString program = fromPath(folder / "bin" / "Veskard");
    const auto fileNamed = [&](const std::string& name, platform::FileAttributes attributes = {}) {
        EXPECT_FALSE(
            platform::writeAttributes(writeFile(folder / name, patternBytes(200)), attributes));
        return fromPath(folder / name);
    };
    const QString plan = fileNamed("plan.doc");
    ASSERT_TRUE(writeScripts(false, false, plan, program).ok());
    EXPECT_EQ(listing(folder.path()), Names{"plan.doc"});
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const engine::JobStatus status = writeScripts(false, true, QStringLiteral("plan.doc"), program);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(status.ok());
    const std::filesystem::path revert = gui::toPath(gui::systemScriptName(ScriptAction::Revert));
    EXPECT_EQ(readText(folder / "plan" / revert),
              gui::systemScript(ScriptAction::Revert, program, plan)->text.toStdString());

    const QString note = fileNamed("note.txt");
    writeFile(folder / "note", {std::byte{'y'}});
    for (const QString& file : {plan, note}) {
        const engine::JobStatus taken = writeScripts(true, true, file, program);
        EXPECT_EQ(taken.cause(), make_error_code(FileError::ScriptFolderTaken));
        EXPECT_EQ(taken.notice(), gui::scriptFolderTakenNotice(file.chopped(4)));
    }
    EXPECT_EQ(listing(folder / "plan"), Names{revert});
    EXPECT_EQ(readText(folder / "note"), "y");

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
