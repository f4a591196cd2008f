#pragma once

#include <QByteArray>
#include <QString>

namespace veskard::gui {

// The bytes of a text file the program writes for the user's editor (the
// report, paw.txt): the system's 8-bit encoding, GBK on Chinese Windows and the
// locale's (UTF-8) on Linux. The text carries its own CR LF line ends.
inline QByteArray systemText(const QString& text) {
    return text.toLocal8Bit();
}

} // namespace veskard::gui
