#pragma once

#include <QColor>
#include <QLabel>
#include <QPoint>

namespace veskard::gui {

// A one-line label drawn twice: a copy in `back` moved by `offset`, then the
// text itself in `front` over it, for an embossed or etched look. Screen
// readers read it once.
class TwoToneLabel final : public QLabel {
    Q_OBJECT

public:
    TwoToneLabel(const QString& text, const QColor& front, const QColor& back, QPoint offset,
                 QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor front_;
    QColor back_;
    QPoint offset_;
};

} // namespace veskard::gui
