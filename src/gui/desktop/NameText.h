#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace veskard::gui {

// A file's name as the window may take it: its text, or the refusal to show
// instead. POSIX names are bytes, and Qt reads them as UTF-8: a byte that is
// not becomes U+FFFD, and the text then names another file (one really named
// with U+FFFD), or none. Such a name is never acted on.
struct NameText {
    QString text;    // empty when refused
    QString refusal; // empty when the text is the name
    bool operator==(const NameText&) const = default;
};

// Begins the refusal; the name follows, each byte that is not UTF-8 written
// as \xFF.

// The name whose bytes the system handed over (a POSIX argument).
NameText nameText(const QByteArray& bytes);
// A name Qt has read already (a file dialog's): on POSIX, U+FFFD in it may
// stand for bytes that were lost, and it is refused.
NameText nameText(const QString& readByQt);
// The name of the local file a dropped address stands for, in the system's
// separators. On POSIX the address holds the name's very bytes.
NameText droppedName(const QUrl& localFile);

} // namespace veskard::gui
