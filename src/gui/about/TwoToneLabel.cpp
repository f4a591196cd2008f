#include "gui/about/TwoToneLabel.h"

#include <QPainter>

namespace veskard::gui {

TwoToneLabel::TwoToneLabel(const QString& text, const QColor& front, const QColor& back,
                           QPoint offset, QWidget* parent)
    : QLabel(text, parent)
    , front_(front)
    , back_(back)
    , offset_(offset) {}

QSize TwoToneLabel::sizeHint() const {
    return QLabel::sizeHint() + QSize(offset_.x(), offset_.y());
}

void TwoToneLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QRect area = contentsRect();
    painter.setPen(back_);
    painter.drawText(area.translated(offset_), Qt::AlignLeft | Qt::AlignTop, text());
    painter.setPen(front_);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, text());
}

} // namespace veskard::gui
