#include "gui/desktop/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QWidget>

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

namespace veskard::gui {

bool DesktopShell::openWithDefaultProgram(QWidget* owner, const QString& documentOrAddress) {
    // A document's program starts in the document's folder; an address has none.
    const QFileInfo document(documentOrAddress);
    const QString folder =
        document.exists() ? QDir::toNativeSeparators(document.absolutePath()) : QString();
    const HWND window = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        window, nullptr, reinterpret_cast<const wchar_t*>(documentOrAddress.utf16()), nullptr,
        folder.isEmpty() ? nullptr : reinterpret_cast<const wchar_t*>(folder.utf16()),
        SW_SHOWNORMAL));
    return result > 32; // ShellExecute's way of saying it started something
}

bool DesktopShell::openInTextEditor(const QString& path) {
    return QProcess::startDetached(QStringLiteral("NOTEPAD.EXE"), {QDir::toNativeSeparators(path)});
}

} // namespace veskard::gui
