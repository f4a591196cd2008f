#include "gui/mainwindow/Accessibility.h"

#include "gui/mainwindow/MainWindow.h"

#include <QAccessibleWidget>
#include <QFrame>

namespace veskard::gui {
namespace {

QAccessibleInterface* makeAccessible(const QString& className, QObject* object) {
    // A plain widget would read as a filler, not as the window it is.
    if (className == QLatin1String(MainWindow::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<MainWindow*>(object), QAccessible::Window);
    // The window's dividing line, rather than a bordered panel.
    if (className == QLatin1String("QFrame")) {
        auto* line = static_cast<QFrame*>(object);
        if (line->frameShape() == QFrame::HLine)
            return new QAccessibleWidget(line, QAccessible::Separator);
    }
    return nullptr;
}

} // namespace

void installMainWindowAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&makeAccessible);
        return true;
    }();
}

} // namespace veskard::gui
