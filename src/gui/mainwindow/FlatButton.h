#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace veskard::gui {

class FlatButton;

// The design of one flat button; positions and sizes in twips, the caption's
// and the icon's relative to the frame.
struct FlatButtonDesign {
    int index = 0;
    QRect frame{};
    QString caption{}; // empty: an icon-only button, without a caption label
    QRect captionArea{};
    QString iconResource{}; // an SVG picture
    QSize iconPixels{16, 16};
    QPoint iconPlace{};
    bool bevel = false;       // a permanent thin raised edge, drawn even at rest
    QString accessibleName{}; // for the icon-only buttons, which show no caption
};

// What the flat buttons of one window share: at most one of them is drawn
// pressed, its caption and icon shifted. While the mouse capture passes from
// button to button, this is how a press that was never released is undone.
class FlatButtonGroup {
    friend class FlatButton;
    FlatButton* pressed_ = nullptr;
};

// A command of the main window drawn without a border of its own: an icon and,
// on most, a caption on a flat face. The pointer over it takes the mouse
// capture, raises a one-pixel edge and turns the caption blue; the left button
// down sinks the edge and moves icon and caption one pixel right and down.
// Leaving it, pressed or not, brings it back to rest and gives the capture up,
// so a press dragged off runs nothing. Releasing a mouse button other than the
// right one over it clicks it. Disabled, it rests greyed and takes no input at
// all. It takes no focus: the window's tab order is the design's. To assistive
// technology it is a push button named after its caption, as Qt's own.
class FlatButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class Look { Rest, Highlighted, Pressed };

    FlatButton(const FlatButtonDesign& design, FlatButtonGroup& group, QWidget* parent);

    Look look() const { return look_; }

    // A further button of the same size, place, look and behaviour, without a
    // caption, made hidden; with this button's icon unless given another.
    FlatButton* copy(int index, const QString& accessibleName,
                     const QString& iconResource = {}) const;

    // The caption's colour at rest, without any other drawing (the keyboard's
    // way to an action ends a highlight this way).
    void showCaptionAtRest();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool covers(QPointF position) const;
    void hover(QPointF position);
    void highlight();
    void press();
    void rest();
    void setLook(Look look);
    void drawBevel(QPainter& painter) const;
    void drawEdge(QPainter& painter, bool sunken) const;
    void drawContent(QPainter& painter) const;

    FlatButtonDesign design_;
    FlatButtonGroup& group_;
    QPixmap icon_;
    Look look_ = Look::Rest;
    bool captionLit_ = false; // blue, from a highlight until the next rest
    bool shifted_ = false;    // icon and caption one pixel right and down
};

} // namespace veskard::gui
