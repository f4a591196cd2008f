#include "gui/about/AboutDialog.h"

#include "engine/Version.h"
#include "gui/about/HomePage.h"
#include "gui/about/LinkLabel.h"
#include "gui/about/TwoToneLabel.h"
#include "gui/desktop/DesignLook.h"
#include "gui/desktop/Placement.h"
#include "gui/desktop/Twips.h"
#include "texts/Texts.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QPushButton>
#include <QSysInfo>

#include <algorithm>

namespace veskard::gui {
namespace {

// The design, in twips.
constexpr int ClientWidth = 5130;
constexpr int ClientHeight = 2970;

// The system the program was built for, as the title names it.
QString builtFor() {
#if defined(Q_OS_WIN)
    return QStringLiteral("Win32");
#elif defined(Q_OS_LINUX)
    return QStringLiteral("Linux");
#else
    return QSysInfo::kernelType();
#endif
}

QString title() {
    return QString(texts::about::title)
        .arg(engine::VersionMajor)
        .arg(engine::VersionMinor)
        .arg(builtFor());
}

// The title's font: 宋体 10.5 points where it exists, else a serif face.
QFont titleFont(QFont font) {
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("serif")});
    font.setPointSizeF(10.5);
    return font;
}

QLabel* label(const QString& name, const QString& text, QWidget* parent) {
    auto* made = new QLabel(text, parent);
    made->setObjectName(name);
    return made;
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(name);
    return made;
}

} // namespace

AboutDialog::AboutDialog(QWidget* owner, const Desktop& desktop,
                         const platform::RegisteredOwner& registered)
    : QDialog(owner)
    , desktop_(desktop) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString(texts::about::caption));
    shapeFixedDialog(*this, ClientWidth, ClientHeight);

    // The etched separator across the window, and the banner standing on it.
    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("Line1"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(QRect(pointInTwips(0, 225), QSize(pixels(5400), 2)));
    separator->setAccessibleName(QString(texts::common::separator));
    auto* banner =
        new TwoToneLabel(QString(texts::about::heading), palette().color(QPalette::WindowText),
                         palette().color(QPalette::HighlightedText), {1, 0}, this);
    banner->setObjectName(QStringLiteral("Label1"));
    banner->setAutoFillBackground(true); // the separator stops at its text
    place(banner, QRect(pointInTwips(600, 120), banner->sizeHint()));

    auto* icon = label(QStringLiteral("Image1"), {}, this);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    icon->setGeometry(rectInTwips(240, 300, 480, 480));
    icon->setAccessibleName(QString(texts::about::icon));

    // The title in dark blue, over a white copy a pixel up and to the left.
    auto* heading = new TwoToneLabel(title(), LinkLabel::Colour, Qt::white, {-1, -1}, this);
    heading->setObjectName(QStringLiteral("Label2"));
    heading->setFont(titleFont(heading->font()));
    heading->setContentsMargins(1, 1, 0, 0);
    heading->setGeometry(QRect(pointInTwips(840, 435), heading->sizeHint()));

    auto* owned =
        label(QStringLiteral("Label3"),
              QString(texts::about::ownedBy) + '\n' + QString::fromStdString(registered.name) +
                  '\n' + QString::fromStdString(registered.company),
              this);
    owned->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(owned, rectInTwips(240, 960, 2055, 615));

    auto* description =
        label(QStringLiteral("Label6"),
              QString(texts::about::description) + QString(58, QLatin1Char(' ')), this);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description->setGeometry(rectInTwips(3000, 840, 1815, 1335));

    auto* author = label(QStringLiteral("Label4"), QString(texts::about::author), this);
    place(author, QRect(pointInTwips(240, 1680), author->sizeHint()));

    const QString address = homePage(desktop_.files);
    auto* link = new LinkLabel(
        address == desktop_.files.helpFile ? QFileInfo(address).fileName() : address, this);
    link->setObjectName(QStringLiteral("Label5"));
    // A longer address than the design's takes the room up to the window's edge.
    QRect linkArea = rectInTwips(240, 1920, 2370, 240);
    linkArea.setWidth(
        std::clamp(link->sizeHint().width(), linkArea.width(), width() - 2 * linkArea.left()));
    place(link, linkArea);
    connect(link, &LinkLabel::clicked, this, &AboutDialog::openHomePage);

    QPushButton* close = button(QStringLiteral("Command1"), QString(texts::common::ok), this);
    close->setGeometry(rectInTwips(240, 2400, 855, 375));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* help = button(QStringLiteral("Command2"), QString(texts::about::help), this);
    help->setGeometry(rectInTwips(1440, 2400, 855, 375));
    connect(help, &QPushButton::clicked, this,
            [this] { desktop_.shell.openInTextEditor(desktop_.files.helpFile); });
    QPushButton* visit = button(QStringLiteral("Command3"), QString(texts::about::visit), this);
    visit->setGeometry(rectInTwips(3120, 2400, 1575, 375));
    connect(visit, &QPushButton::clicked, this, &AboutDialog::openHomePage);
    close->setFocus();
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(*this);
}

void AboutDialog::openHomePage() {
    desktop_.shell.openWithDefaultProgram(this, homePage(desktop_.files));
}

void showAbout(QWidget* owner, const Desktop& desktop) {
    AboutDialog window(owner, desktop, platform::registeredOwner());
    window.exec();
}

} // namespace veskard::gui
