#include "gui/mainwindow/FlatButton.h"

#include "gui/desktop/Twips.h"
#include "gui/mainwindow/Accessibility.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

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

// A label underlines its access key only when it has a buddy to give the focus
// to; the caption has none, the key belongs to the window.
class CaptionLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect(), int(alignment()) | Qt::TextShowMnemonic,
                              palette(), isEnabled(), text(), foregroundRole());
    }
};

// The picture drawn for the screen's scale: the icon's own pixels at 100 %,
// above that its twice-as-large twin, scaled to the size needed.
QPixmap iconPixmap(const QString& resource, QSize size, qreal pixelRatio) {
    QIcon icon(resource);
    QString twice = resource;
    icon.addFile(twice.insert(twice.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x")));
    return icon.pixmap(size, pixelRatio);
}

} // namespace

FlatButton::FlatButton(const FlatButtonDesign& design, FlatButtonGroup& group, QWidget* parent)
    : QFrame(parent)
    , design_(design)
    , group_(group) {
    installMainWindowAccessibility();
    setObjectName(QStringLiteral("Frame1(%1)").arg(design.index));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true); // opaque: it covers what lies behind it
    setGeometry(rectInTwips(design.frame.x(), design.frame.y(), design.frame.width(),
                            design.frame.height()));
    setMouseTracking(true);
    setAccessibleName(design.accessibleName.isEmpty() ? plainCaption(design.caption)
                                                      : design.accessibleName);

    // Icon and caption only show; the frame takes every mouse event over them.
    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("Image1(%1)").arg(design.index));
    icon_->setAttribute(Qt::WA_TransparentForMouseEvents);
    icon_->resize(design.iconPixels);
    icon_->setPixmap(iconPixmap(design.iconResource, design.iconPixels, devicePixelRatioF()));
    if (!design.caption.isEmpty()) {
        caption_ = new CaptionLabel(design.caption, this);
        caption_->setObjectName(QStringLiteral("Label1(%1)").arg(design.index));
        caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
        caption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        caption_->resize(sizeInTwips(design.captionArea.width(), design.captionArea.height()));
        setCaptionColour(RestCaptionColour);
    }
    placeContent(false);
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
    if (caption_)
        setCaptionColour(RestCaptionColour);
}

void FlatButton::activate() {
    if (isEnabled())
        emit released(design_.index, Qt::NoButton);
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
    const Qt::MouseButton button = event->button();
    // A right click changes nothing. Any other release ends the press and the
    // highlight, and gives the capture up before the action can open a dialog.
    if (button != Qt::RightButton)
        rest();
    emit released(design_.index, button);
}

void FlatButton::hideEvent(QHideEvent* event) {
    rest();
    QFrame::hideEvent(event);
}

// A disabled widget gets no mouse events: a highlighted button would keep the
// capture, and with it every click on the window.
void FlatButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        rest();
    QFrame::changeEvent(event);
}

void FlatButton::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
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
    setLook(Look::Highlighted);
    if (caption_)
        setCaptionColour(HoverCaptionColour);
}

void FlatButton::press() {
    if (group_.pressed_ != this) {
        if (group_.pressed_)
            group_.pressed_->rest();
        placeContent(true);
        group_.pressed_ = this;
    }
    setLook(Look::Pressed);
}

void FlatButton::rest() {
    if (group_.pressed_ == this) {
        placeContent(false);
        group_.pressed_ = nullptr;
    }
    if (caption_)
        setCaptionColour(RestCaptionColour);
    setLook(Look::Rest);
    if (mouseGrabber() == this)
        releaseMouse();
}

void FlatButton::setLook(Look look) {
    if (look_ == look)
        return;
    look_ = look;
    update();
}

// Disabled, the caption keeps the style's greyed colour.
void FlatButton::setCaptionColour(const QColor& colour) {
    QPalette palette = caption_->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, colour);
    caption_->setPalette(palette);
}

void FlatButton::placeContent(bool shifted) {
    const int offset = shifted ? PressOffsetTwips : 0;
    icon_->move(pointInTwips(design_.iconPlace.x() + offset, design_.iconPlace.y() + offset));
    if (caption_)
        caption_->move(
            pointInTwips(design_.captionArea.x() + offset, design_.captionArea.y() + offset));
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
