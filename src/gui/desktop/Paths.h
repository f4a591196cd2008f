#pragma once

#include <QFile>
#include <QString>

#include <filesystem>

namespace veskard::gui {

// A path typed or handed over as text, for the engine and the platform layer:
// UTF-16 as it is on Windows, the file system's bytes (as Qt itself opens
// files) on POSIX. Never throws, whatever the text holds.
inline std::filesystem::path toPath(const QString& text) {
#ifdef Q_OS_WIN
    return std::filesystem::path(text.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(text).toStdString());
#endif
}

// The way back: a path from the engine or the platform layer, as text.
inline QString fromPath(const std::filesystem::path& path) {
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.wstring());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
#endif
}

} // namespace veskard::gui
