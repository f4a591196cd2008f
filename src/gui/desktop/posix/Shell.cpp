#include "gui/desktop/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace veskard::gui {
namespace {

// A path names a local file; anything with a scheme is an address.
QUrl urlOf(const QString& documentOrAddress) {
    const QUrl url(documentOrAddress.trimmed(), QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(QDir::current().absoluteFilePath(documentOrAddress));
}

} // namespace

bool DesktopShell::openWithDefaultProgram(QWidget*, const QString& documentOrAddress) {
    return QDesktopServices::openUrl(urlOf(documentOrAddress));
}

// The desktop's default program for a .txt file is its text editor.
bool DesktopShell::openInTextEditor(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(path)));
}

} // namespace veskard::gui
