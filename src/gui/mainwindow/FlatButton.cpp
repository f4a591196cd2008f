#include "gui/mainwindow/FlatButton.h"

#include "gui/desktop/Twips.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <array>

namespace veskard::gui {
namespace {

// How far a pressed button's icon and caption move right and down: one pixel.
constexpr int PressOffsetTwips = 15;

const QColor HoverCaptionColour{0x00, 0x00, 0xFF};
const QColor RestCaptionColour{Qt::black};

// The permanent bevel: four one-pixel lines in twips from the frame's top
// left, longer than the frame and cut off by it.
struct BevelLine {
    QLine twips;
    QPalette::ColorRole colour;
};
constexpr std::array<BevelLine, 4> Bevel{{
    {{0, 0, 1440, 0}, QPalette::Light},
    {{0, 0, 0, 600}, QPalette::Light},
    {{0, 360, 1440, 360}, QPalette::Dark},
    {{1320, 0, 1320, 600}, QPalette::Dark},
}};

// A caption's "&" marks its access key: left out of its name, and shown
// underlined by the caption label.
QString plainCaption(const QString& caption) {
    QString plain = caption;
    return plain.remove(QLatin1Char('&'));
}

QPixmap renderIcon(const QString& resource, QSize size, qreal pixelRatio) {
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(), QSizeF(size)));
    return pixmap;
}

} // namespace

FlatButton::FlatButton(const FlatButtonDesign& design, FlatButtonGroup& group, QWidget* parent)
    : QAbstractButton(parent)
    , design_(design)
    , group_(group)
    , icon_(renderIcon(design.iconResource, design.iconPixels, devicePixelRatioF())) {
    setObjectName(QStringLiteral("Frame1(%1)").arg(design.index));
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true); // opaque: it covers what lies behind it
    setGeometry(rectInTwips(design.frame.x(), design.frame.y(), design.frame.width(),
                            design.frame.height()));
    setMouseTracking(true);
    // Not the button's text: its access key belongs to the window.
    setAccessibleName(design.accessibleName.isEmpty() ? plainCaption(design.caption)
                                                      : design.accessibleName);
}

FlatButton* FlatButton::copy(int index, const QString& accessibleName,
                             const QString& iconResource) const {
    FlatButtonDesign copied = design_;
    copied.index = index;
    copied.caption.clear();
    copied.accessibleName = accessibleName;
    if (!iconResource.isEmpty())
        copied.iconResource = iconResource;
    auto* button = new FlatButton(copied, group_, parentWidget());
    button->hide();
    return button;
}

void FlatButton::showCaptionAtRest() {
    captionLit_ = false;
    update();
}

void FlatButton::mouseMoveEvent(QMouseEvent* event) {
    hover(event->position());
}

void FlatButton::mousePressEvent(QMouseEvent* event) {
    // The capture sends a click anywhere to a highlighted button: one away
    // from it only ends the highlight.
    if (!covers(event->position()))
        rest();
    else if (event->button() == Qt::LeftButton)
        press();
}

void FlatButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!covers(event->position())) {
        rest();
        return;
    }
    // A right click changes nothing. Any other release ends the press and the
    // highlight, and gives the capture up before the action can open a dialog.
    if (event->button() == Qt::RightButton)
        return;
    rest();
    click();
}

void FlatButton::hideEvent(QHideEvent* event) {
    rest();
    QAbstractButton::hideEvent(event);
}

// A disabled widget gets no mouse events: a highlighted button would keep the
// capture, and with it every click on the window.
void FlatButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        rest();
    QAbstractButton::changeEvent(event);
}

void FlatButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawContent(painter);
    if (design_.bevel)
        drawBevel(painter);
    if (look_ != Look::Rest)
        drawEdge(painter, look_ == Look::Pressed);
}

// Both ends count as inside, so the pixel just beyond the right and the bottom
// edge still belongs to the button.
bool FlatButton::covers(QPointF position) const {
    return position.x() >= 0 && position.x() <= width() && position.y() >= 0 &&
           position.y() <= height();
}

void FlatButton::hover(QPointF position) {
    if (!covers(position)) {
        rest();
        return;
    }
    const bool captured = mouseGrabber() == this;
    if (captured && (QGuiApplication::mouseButtons() & Qt::LeftButton))
        press(); // back over the button with the left button still held
    else if (!captured)
        highlight();
}

void FlatButton::highlight() {
    grabMouse();
    captionLit_ = true;
    setLook(Look::Highlighted);
    update();
}

void FlatButton::press() {
    if (group_.pressed_ != this) {
        if (group_.pressed_)
            group_.pressed_->rest();
        shifted_ = true;
        group_.pressed_ = this;
    }
    setDown(true); // read as pressed by assistive technology
    setLook(Look::Pressed);
}

void FlatButton::rest() {
    if (group_.pressed_ == this) {
        shifted_ = false;
        group_.pressed_ = nullptr;
    }
    captionLit_ = false;
    setDown(false);
    setLook(Look::Rest);
    update();
    if (mouseGrabber() == this)
        releaseMouse();
}

void FlatButton::setLook(Look look) {
    if (look_ == look)
        return;
    look_ = look;
    update();
}

// Icon and caption, shifted while pressed. Disabled, both are greyed as the
// style greys a label's: the caption keeps the disabled colour.
void FlatButton::drawContent(QPainter& painter) const {
    const int offset = shifted_ ? PressOffsetTwips : 0;
    QPixmap icon = icon_;
    if (!isEnabled()) {
        QStyleOption option;
        option.initFrom(this);
        icon = style()->generatedIconPixmap(QIcon::Disabled, icon_, &option);
    }
    painter.drawPixmap(pointInTwips(design_.iconPlace.x() + offset, design_.iconPlace.y() + offset),
                       icon);
    if (design_.caption.isEmpty())
        return;
    QPalette colours = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        colours.setColor(group, QPalette::WindowText,
                         captionLit_ ? HoverCaptionColour : RestCaptionColour);
    const QRect area =
        rectInTwips(design_.captionArea.x() + offset, design_.captionArea.y() + offset,
                    design_.captionArea.width(), design_.captionArea.height());
    // The access key shows underlined, as on a label.
    style()->drawItemText(&painter, area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                          colours, isEnabled(), design_.caption, QPalette::WindowText);
}

void FlatButton::drawBevel(QPainter& painter) const {
    for (const BevelLine& line : Bevel) {
        painter.setPen(palette().color(line.colour));
        painter.drawLine(pointInTwips(line.twips.x1(), line.twips.y1()),
                         pointInTwips(line.twips.x2(), line.twips.y2()));
    }
}

// A one-pixel edge inside the frame: raised has its light side top and left,
// sunken the other way round. The shadow sides are drawn last and own the
// corners they share with the light ones.
void FlatButton::drawEdge(QPainter& painter, bool sunken) const {
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.setPen(sunken ? shadow : light);
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.setPen(sunken ? light : shadow);
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, 0, right, bottom);
}

} // namespace veskard::gui
