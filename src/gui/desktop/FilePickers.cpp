#include "gui/desktop/FilePickers.h"

#include <QFileDialog>
#include <QFileInfo>

namespace veskard::gui {
namespace {

// "*.*" is how Windows says "every file"; elsewhere it would hide the files
// that have no dot in their name.
QString patternHere(const QString& pattern) {
#ifdef Q_OS_WIN
    return pattern;
#else
    return pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern;
#endif
}

// The dialog starts in the folder the text names, or in the folder of the file
// it names.
QString startFolder(const QString& text) {
    const QFileInfo info(text);
    if (text.isEmpty() || info.isDir())
        return text;
    return info.absolutePath();
}

} // namespace

QString QtFilePickers::pick(QWidget* owner, const FileRequest& request) {
    const QString filter =
        request.filterName + QStringLiteral(" (") + patternHere(request.filterPattern) + ')';
    const QString folder = startFolder(request.initialFolder);
    if (request.mode == FileRequest::Mode::Open)
        return QFileDialog::getOpenFileName(owner, QString(), folder, filter);
    const QString suggested =
        request.suggestedName.isEmpty() ? folder : QDir(folder).filePath(request.suggestedName);
    return QFileDialog::getSaveFileName(owner, QString(), suggested, filter);
}

} // namespace veskard::gui
