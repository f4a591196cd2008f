#include "gui/mainwindow/Accessibility.h"

#include "gui/mainwindow/FlatButton.h"
#include "gui/mainwindow/MainWindow.h"

#include <QAccessibleWidget>
#include <QFrame>

namespace veskard::gui {
namespace {

// A flat button is a frame holding two labels, which on their own would read
// as a panel with a picture and a text. It reads as one push button instead,
// named after its caption, whose press runs it without drawing a click.
class AccessibleFlatButton final : public QAccessibleWidget {
public:
    explicit AccessibleFlatButton(FlatButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.hotTracked = button()->look() != FlatButton::Look::Rest;
        state.pressed = button()->look() == FlatButton::Look::Pressed;
        return state;
    }

    // The icon and the caption are the button's face, not parts of their own.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    // A disabled button, which reads as such (QAccessibleWidget's state), has
    // no action, as Qt's own buttons.
    QStringList actionNames() const override {
        return button()->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    // Run after the reply, as Qt's own buttons do: an action that opens a
    // modal window must not keep the screen reader waiting until it closes.
    void doAction(const QString& name) override {
        if (name == pressAction())
            QMetaObject::invokeMethod(button(), &FlatButton::activate, Qt::QueuedConnection);
    }

private:
    FlatButton* button() const { return static_cast<FlatButton*>(widget()); }
};

QAccessibleInterface* makeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(FlatButton::staticMetaObject.className()))
        return new AccessibleFlatButton(static_cast<FlatButton*>(object));
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
