#include "gui/writers/ScriptText.h"

#include "engine/Version.h"
#include "gui/writers/FileError.h"

#include <gtest/gtest.h>

using namespace veskard::gui;
using veskard::Result;

// The expected bytes are written out, so that they do not come from the code under test.
const QByteArray Rule(56, '*');

TEST(ShortPath, DropsBlanksAndCutsLongPartsKeepingEveryPart) {
    const struct {
        QString path;
        QString shortened;
    } cases[] = {
        {QStringLiteral("C:\\Program Files\\File Tools\\"),
         QStringLiteral("C:\\Progra~1\\FileTo~1\\")},
        {QStringLiteral("C:\\Programs\\"), QStringLiteral("C:\\Programs\\")}, // eight stay
        {QStringLiteral("D:\\工具\\一二三四五六七八九\\"),
         QStringLiteral("D:\\工具\\一二三四五六~1\\")},
        {QStringLiteral("\\\\server\\My Share\\\\x"), QStringLiteral("\\\\server\\MyShare\\\\x")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shortPath(c.path), c.shortened) << c.path.toStdString();
}

// CR LF between lines and none after the last, which names the short program
// folder, the switches and the file. Comments may lose characters the code
// page lacks to question marks; cmd.exe expands a % even in a comment.
TEST(BatchScriptText, HasThreeCommentsAndALastLineThatStartsTheProgramOnTheFile) {
    const QString tools = QStringLiteral("C:\\Tools");
    const QString plan = QStringLiteral("D:\\work\\100%plan.doc");
    const QByteArray version = "rem Veskard v" + QByteArray::number(veskard::engine::VersionMajor) +
                               "." + QByteArray::number(veskard::engine::VersionMinor) + " ";
    EXPECT_EQ(
        *batchScriptText(tools, plan, ScriptAction::Encrypt, 936),
        "rem " + Rule + "\r\n" + version +
            "\xCE\xC4\xBC\xFE\xBC\xD3\xC3\xDC\xB9\xA4\xBE\xDF\r\n" // 文件加密工具
            "rem \xCE\xC4\xBC\xFE\xA3\xBA"                         // 文件：
            "D:\\work\\100%%plan.doc\r\n\r\nC:\\Tools\\Veskard.exe /e/s D:\\work\\100%%plan.doc");
    EXPECT_TRUE(batchScriptText(tools, plan, ScriptAction::EncryptStrongly, 936)
                    ->endsWith("\r\n\r\nC:\\Tools\\Veskard.exe /e/k/s D:\\work\\100%%plan.doc"));
    EXPECT_EQ(*batchScriptText(tools, plan, ScriptAction::Revert, 437),
              "rem " + Rule + "\r\n" + version +
                  "??????\r\nrem ???D:\\work\\100%%plan.doc\r\n\r\n"
                  "C:\\Tools\\Veskard.exe /r/s D:\\work\\100%%plan.doc");
}

// The last line is in the code page cmd.exe reads it in, and escapes by
// character every one that cmd.exe acts on, so that no other command can
// start: in code page 936 the second byte of 億 (83 7C) is no pipe, in 437 a
// 7C would be. A file or program folder the code page cannot name exactly
// gets no script. (A folder is cut by shortPath.)
TEST(BatchScriptText, LastLineNamesFileAndProgramExactlyInTheCodePageOrNotAtAll) {
    const QString tools = QStringLiteral("C:\\Tools");
    const QString specials = QStringLiteral("D:\\R&D (1)\\a^b!c|d<e>f%g.doc");
    const QString pwn = QStringLiteral("D:\\億 mkdir PWN7 .txt");
    const struct {
        unsigned codePage;
        QString folder;
        QString file;
        QByteArray lastLine; // none when refused
        FileError refusal = {};
    } cases[] = {
        // clang-format off
        {936, tools, pwn, "C:\\Tools\\Veskard.exe /e/s D:\\\x83\x7C mkdir PWN7 .txt"},
        {437, tools, pwn, {}, FileError::FileNameNotInCodePage},
        {936, tools, QStringLiteral("D:\\億&億.doc"), "C:\\Tools\\Veskard.exe /e/s D:\\\x83\x7C^&\x83\x7C.doc"},
        {437, tools, specials, "C:\\Tools\\Veskard.exe /e/s D:\\R^&D (1)\\a^^b!c^|d^<e^>f%%g.doc"},
        {437, QStringLiteral("C:\\R&D"), QStringLiteral("D:\\caf\u00E9.doc"), "C:\\R^&D\\Veskard.exe /e/s D:\\caf\x82.doc"},
        {850, QStringLiteral("C:/Program Files/\u00DCbersetzung Werkzeuge"), QStringLiteral("D:\\plan.doc"),
         "C:\\Progra~1\\\x9A" "berse~1\\Veskard.exe /e/s D:\\plan.doc"},
        {437, QStringLiteral("C:\\工具"), QStringLiteral("D:\\plan.doc"), {}, FileError::ProgramFolderNotInCodePage},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString() + " in " + std::to_string(c.codePage));
        const Result<QByteArray> text =
            batchScriptText(c.folder, c.file, ScriptAction::Encrypt, c.codePage);
        if (c.lastLine.isEmpty()) {
            EXPECT_EQ(text.error(), make_error_code(c.refusal));
        } else {
            ASSERT_TRUE(text) << text.error().message();
            EXPECT_EQ(text->mid(text->lastIndexOf("\r\n") + 2), c.lastLine);
        }
    }
}
