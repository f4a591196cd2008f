#include "gui/about/LinkLabel.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace veskard::gui {
namespace {

class LinkLabelAccessible final : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel* label)
        : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const LinkLabel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction())
            static_cast<LinkLabel*>(widget())->click();
    }
};

QAccessibleInterface* linkLabelAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(LinkLabel::staticMetaObject.className()))
        return new LinkLabelAccessible(static_cast<LinkLabel*>(object));
    return nullptr;
}

} // namespace

const QColor LinkLabel::Colour(0, 0, 128);
const QColor LinkLabel::HeldColour(255, 192, 128);

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent) {
    [[maybe_unused]] static const bool accessible = [] {
        QAccessible::installFactory(linkLabelAccessible);
        return true;
    }();
    QFont bold = font();
    bold.setPointSize(12);
    bold.setBold(true);
    bold.setUnderline(true);
    setFont(bold);
    setCursor(Qt::PointingHandCursor);
    setTextColour(Colour);
}

QColor LinkLabel::textColour() const {
    return palette().color(QPalette::WindowText);
}

void LinkLabel::setTextColour(const QColor& colour) {
    QPalette coloured = palette();
    coloured.setColor(QPalette::WindowText, colour);
    setPalette(coloured);
}

void LinkLabel::click() {
    emit clicked();
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    remembered_ = textColour();
    setTextColour(HeldColour);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !remembered_.isValid())
        return;
    setTextColour(remembered_);
    remembered_ = QColor();
    if (rect().contains(event->position().toPoint()))
        click();
}

} // namespace veskard::gui
