#include "gui/writers/ScriptText.h"

#include "engine/ControlCharacters.h"
#include "engine/Version.h"
#include "gui/desktop/SystemText.h"
#include "gui/writers/FileError.h"
#include "platform/CodePage.h"
#include "texts/Texts.h"

#include <QStringList>

#include <string>

namespace veskard::gui {
namespace {

constexpr int ShortPartLength = 8;
constexpr int KeptCharacters = 6;
constexpr int RuleLength = 56;

QString ruleLine() {
    return QString(RuleLength, u'*');
}

QString productBanner() {
    return QString(texts::scripts::banner).arg(engine::VersionMajor).arg(engine::VersionMinor);
}

QString switches(ScriptAction action) {
    switch (action) {
    case ScriptAction::Encrypt:
        return QStringLiteral("/e/s");
    case ScriptAction::EncryptStrongly:
        return QStringLiteral("/e/k/s");
    case ScriptAction::Revert:
        break;
    }
    return QStringLiteral("/r/s");
}

platform::CodePageText inCodePage(const QString& text, unsigned codePage) {
    return platform::encodeInCodePage(text.toStdU16String(), codePage);
}

// cmd.exe expands percent signs on every line of a batch file, a comment's
// included; "%%" stands for one.
QString percentsEscaped(QString text) {
    return text.replace(u'%', QStringLiteral("%%"));
}

// On a command line cmd.exe also acts on & | < > and takes ^ as its escape
// character, so that a file named "a&b.doc" would start a second command.
// Characters, not bytes, are escaped: cmd.exe reads a double-byte character
// of its code page whole, whatever its second byte.
QString commandEscaped(const QString& text) {
    QString escaped;
    for (const QChar c : percentsEscaped(text)) {
        if (c == u'&' || c == u'|' || c == u'<' || c == u'>' || c == u'^')
            escaped += u'^';
        escaped += c;
    }
    return escaped;
}

QString withTrailingBackslash(QString folder) {
    folder.replace(u'/', u'\\');
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    return folder;
}

QString shellQuoted(QString text) {
    return u'\'' + text.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

// A line break in a file name (possible on POSIX) would end a comment line and
// turn the rest of the name into a command.
QString controlCharactersMasked(const QString& text) {
    return QString::fromStdString(engine::controlCharactersMasked(text.toStdString()));
}

} // namespace

QString shortPath(const QString& path) {
    QStringList parts = path.split(u'\\');
    for (QString& part : parts) {
        part.remove(u' ');
        // Characters, not UTF-16 units: a character outside the BMP counts once.
        const std::u32string characters = part.toStdU32String();
        if (characters.size() > ShortPartLength)
            part = QString::fromStdU32String(characters.substr(0, KeptCharacters)) +
                   QStringLiteral("~1");
    }
    return parts.join(u'\\');
}

// Comments may lose a character to a question mark; the command may not.
Result<QByteArray> batchScriptText(const QString& programFolder, const QString& fileName,
                                   ScriptAction action, unsigned codePage) {
    const QString program =
        shortPath(withTrailingBackslash(programFolder)) + QString(texts::files::windowsProgram);
    const platform::CodePageText programBytes = inCodePage(commandEscaped(program), codePage);
    if (!programBytes.exact)
        return FileError::ProgramFolderNotInCodePage;
    const platform::CodePageText fileBytes = inCodePage(commandEscaped(fileName), codePage);
    if (!fileBytes.exact)
        return FileError::FileNameNotInCodePage;
    const QStringList comments = {
        QStringLiteral("rem ") + ruleLine(),
        QStringLiteral("rem ") + productBanner(),
        QString(texts::scripts::batchFileLine) + percentsEscaped(fileName),
        QString(),
        QString(),
    };
    const std::string command =
        programBytes.bytes + ' ' + switches(action).toStdString() + ' ' + fileBytes.bytes;
    return QByteArray::fromStdString(
        inCodePage(comments.join(QStringLiteral("\r\n")), codePage).bytes + command);
}

// The script enters the file's folder and names the file alone. (Only the
// program's first argument holds switches here, so a path would be read
// right too.)
QByteArray shellScriptText(const QString& program, const QString& fileName, ScriptAction action) {
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const QString folder = slash > 0 ? fileName.left(slash) : QStringLiteral("/");
    const QStringList lines = {
        QStringLiteral("#!/bin/sh"),
        QStringLiteral("# ") + ruleLine(),
        QStringLiteral("# ") + productBanner(),
        QString(texts::scripts::shellFileLine) + controlCharactersMasked(fileName),
        QString(),
        QStringLiteral("cd ") + shellQuoted(folder) + QStringLiteral(" && exec ") +
            shellQuoted(program) + u' ' + switches(action) + u' ' +
            shellQuoted(fileName.mid(slash + 1)),
    };
    return systemText(lines.join(u'\n') + u'\n');
}

} // namespace veskard::gui
