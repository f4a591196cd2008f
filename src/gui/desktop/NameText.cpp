#include "gui/desktop/NameText.h"
#include "texts/Texts.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace veskard::gui {
namespace {

// Whether the bytes come back unchanged from their text, as the text is
// turned into a path again (gui/desktop/Paths.h).
bool givesBack(QByteArrayView bytes) {
    return QFile::encodeName(QFile::decodeName(bytes.toByteArray())) == bytes;
}

constexpr qsizetype LongestCharacter = 4; // bytes of one character in UTF-8

// The name with each byte that starts no UTF-8 character written as \xFF.
QString shownName(const QByteArray& bytes) {
    QString shown;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype longest = std::min(LongestCharacter, bytes.size() - at);
        qsizetype length = 1;
        while (length <= longest && !givesBack(QByteArrayView(bytes).sliced(at, length)))
            ++length;
        if (length > longest) {
            shown += QString::asprintf("\\x%02X", static_cast<unsigned char>(bytes[at]));
            ++at;
        } else {
            shown += QFile::decodeName(bytes.sliced(at, length));
            at += length;
        }
    }
    return shown;
}

NameText refused(const QString& shown) {
    return {QString(), QString(texts::unattended::undecodableName) + shown};
}

} // namespace

NameText nameText(const QByteArray& bytes) {
    if (!givesBack(bytes))
        return refused(shownName(bytes));
    return {QFile::decodeName(bytes), {}};
}

NameText nameText(const QString& readByQt) {
#ifndef Q_OS_WIN
    if (readByQt.contains(QChar::ReplacementCharacter))
        return refused(readByQt);
#endif
    return {readByQt, {}};
}

NameText droppedName(const QUrl& localFile) {
#ifdef Q_OS_WIN
    return {QDir::toNativeSeparators(localFile.toLocalFile()), {}};
#else
    // A name on another host ("//host/path") comes as Qt reads it.
    if (!localFile.host().isEmpty())
        return nameText(localFile.toLocalFile());
    return nameText(QByteArray::fromPercentEncoding(localFile.path(QUrl::FullyEncoded).toLatin1()));
#endif
}

} // namespace veskard::gui
