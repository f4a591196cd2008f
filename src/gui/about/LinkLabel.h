#pragma once

#include <QColor>
#include <QLabel>

namespace veskard::gui {

// A label that works as a link: dark blue, underlined and bold, with a
// pointing hand. It turns light orange while the left button is held on it,
// and a left click opens it; other buttons do nothing. Screen readers see a
// link they can press.
class LinkLabel final : public QLabel {
    Q_OBJECT

public:
    static const QColor Colour;     // dark blue
    static const QColor HeldColour; // light orange

    LinkLabel(const QString& text, QWidget* parent);

    QColor textColour() const;
    // What a left click does; also the screen reader's press.
    void click();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setTextColour(const QColor& colour);

    QColor remembered_; // the colour to go back to when the button is let go
};

} // namespace veskard::gui
