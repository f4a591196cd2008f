#include "startup/ScriptText.h"

#include <gtest/gtest.h>

using namespace veskard::startup;

// The expected bytes are written out, so that they do not come from the code under test.
const QByteArray Rule(56, '*');

TEST(MakeShortPath, DropsBlanksAndCutsLongPartsKeepingEveryPart) {
    const struct {
        QString path;
        QString shortened;
    } cases[] = {
        {QStringLiteral("C:\\Program Files\\File Tools\\"),
         QStringLiteral("C:\\Progra~1\\FileTo~1\\")},
        {QStringLiteral("C:\\"), QStringLiteral("C:\\")},
        {QStringLiteral("C:\\Programs\\"), QStringLiteral("C:\\Programs\\")}, // eight stay
        {QStringLiteral("D:\\工具\\一二三四五六七八九\\"),
         QStringLiteral("D:\\工具\\一二三四五六~1\\")},
        {QStringLiteral("\\\\server\\My Share\\\\x"), QStringLiteral("\\\\server\\MyShare\\\\x")},
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeShortPath(c.path), c.shortened) << c.path.toStdString();
}

// Code page 936, CR LF between lines and none after the last, which names the
// short program folder, the switches and the file.
TEST(BatchScriptText, IsCodePage936AndTheLastLineStartsTheProgramOnTheFile) {
    EXPECT_EQ(
        batchScriptText(QStringLiteral("C:\\Tools"), QStringLiteral("D:\\work\\plan.doc"),
                        ScriptAction::Encrypt),
        "rem " + Rule +
            "\r\n"
            "rem Veskard v1.6 \xCE\xC4\xBC\xFE\xBC\xD3\xC3\xDC\xB9\xA4\xBE\xDF\r\n" // 文件加密工具
            "rem \xCE\xC4\xBC\xFE\xA3\xBA"                                          // 文件：
            "D:\\work\\plan.doc\r\n\r\nC:\\Tools\\Veskard.exe /e/s D:\\work\\plan.doc");

    const auto lastLine = [](const QString& folder, const QString& file, ScriptAction action) {
        const QByteArray text = batchScriptText(folder, file, action);
        return text.mid(text.lastIndexOf("\r\n") + 2);
    };
    const QString plan = QStringLiteral("D:\\work\\plan.doc");
    EXPECT_EQ(lastLine(QStringLiteral("C:\\"), plan, ScriptAction::Revert),
              "C:\\Veskard.exe /r/s D:\\work\\plan.doc");
    // The folder as Qt gives it, with forward slashes.
    EXPECT_EQ(lastLine(QStringLiteral("C:/Program Files/File Tools"), plan, ScriptAction::Encrypt),
              "C:\\Progra~1\\FileTo~1\\Veskard.exe /e/s D:\\work\\plan.doc");
    // cmd.exe would start "D.doc" as a second command and drop the percent sign.
    EXPECT_EQ(lastLine(QStringLiteral("C:\\R&D"), QStringLiteral("D:\\R&D\\100%.doc"),
                       ScriptAction::Encrypt),
              "C:\\R^&D\\Veskard.exe /e/s D:\\R^&D\\100%%.doc");
}

TEST(ShellScriptText, EntersTheFolderAndStartsTheProgramOnTheBareName) {
    EXPECT_EQ(shellScriptText(QStringLiteral("/opt/Veskard 1.6/Veskard"),
                              QStringLiteral("/home/rob/it's a plan.doc"), ScriptAction::Revert),
              "#!/bin/sh\n# " + Rule +
                  "\n# Veskard v1.6 文件加密工具\n# 文件：/home/rob/it's a plan.doc\n\n"
                  "cd '/home/rob' && exec '/opt/Veskard 1.6/Veskard' /r/s 'it'\\''s a plan.doc'\n");
}
