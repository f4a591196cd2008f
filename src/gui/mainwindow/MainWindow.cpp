#include "gui/mainwindow/MainWindow.h"

#include "gui/desktop/DesignLook.h"
#include "gui/desktop/NameText.h"
#include "gui/desktop/Twips.h"
#include "gui/mainwindow/Accessibility.h"
#include "gui/mainwindow/MainWindowActions.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>
#include <optional>
#include <utility>

namespace veskard {
namespace {

// The design, in twips: the inside area, the outer size it has with the
// classic border, and the places the two icon buttons are put against.
constexpr int ClientWidthTwips = 5790;
constexpr int ClientHeightTwips = 4890;
constexpr int OuterWidthTwips = 5910;
constexpr int OuterHeightTwips = 5295;
const QRect Label7Area{1560, 3600, 3615, 255};
const QRect Text5Area{2040, 3915, 3135, 270};

template <typename Widget> Widget* place(Widget* widget, const char* name, QRect twips) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(desktop::rectInTwips(twips.x(), twips.y(), twips.width(), twips.height()));
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect twips) {
    auto* widget = place(new QLabel(text, parent), name, twips);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return widget;
}

void setBackground(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLineEdit* passwordBox(QWidget* parent, const char* name, QRect twips) {
    auto* box = place(new QLineEdit(parent), name, twips);
    desktop::makePasswordBox(*box);
    return box;
}

// Ticked or not as the window's options say (setOptions).
QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, QRect twips) {
    return place(new QCheckBox(text, parent), name, twips);
}

// A saved value of 2 shows greyed. A click makes it ticked, and from then on
// the box is ticked or clear, as a person can make it.
void setCheckValue(QCheckBox& box, startup::CheckValue value) {
    switch (value) {
    case startup::CheckValue::Unticked:
        box.setCheckState(Qt::Unchecked);
        return;
    case startup::CheckValue::Ticked:
        box.setCheckState(Qt::Checked);
        return;
    case startup::CheckValue::Greyed:
        box.setCheckState(Qt::PartiallyChecked);
        QObject::connect(
            &box, &QCheckBox::clicked, &box, [&box] { box.setTristate(false); },
            Qt::SingleShotConnection);
        return;
    }
}

startup::CheckValue checkValue(const QCheckBox& box) {
    switch (box.checkState()) {
    case Qt::Unchecked:
        break;
    case Qt::Checked:
        return startup::CheckValue::Ticked;
    case Qt::PartiallyChecked:
        return startup::CheckValue::Greyed;
    }
    return startup::CheckValue::Unticked;
}

// The first file among the dropped data, when there is one.
std::optional<QUrl> firstDroppedFile(const QMimeData& data) {
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            return url;
    }
    return std::nullopt;
}

} // namespace

MainWindow::MainWindow(const desktop::Desktop& desktop, engine::RandomSource& random,
                       const platform::Clock& clock, const engine::TextFormats& formats,
                       const startup::Options& options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , desktop_(desktop) {
    installMainWindowAccessibility();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Orvessa"));
    setFont(desktop::designFont());
    // The size never changes: no maximize button, no border to drag.
    setFixedSize(desktop::sizeInTwips(ClientWidthTwips, ClientHeightTwips));
    setAcceptDrops(true);
    MainWindowControls& c = controls_;

    auto* label10 = label(this, "Label10", QStringLiteral("选择加密文件："), {240, 285, 1260, 180});
    c.Label3 = place(new QLineEdit(this), "Label3", {1560, 240, 3615, 270});
    setBackground(c.Label3, QPalette::Base, Qt::white);
    label10->setBuddy(c.Label3);
    addFlatButton({.index = 0,
                   .frame = {5280, 240, 300, 300},
                   .iconResource = QStringLiteral(":/mainwindow/icons/open.svg"),
                   .iconPlace = {30, 30},
                   .accessibleName = QStringLiteral("选择加密文件")});

    c.Text2 = passwordBox(this, "Text2", {1560, 600, 2175, 270});
    label(this, "Label5", QStringLiteral("输入密码："), {240, 645, 900, 180})->setBuddy(c.Text2);
    addFlatButton({.index = 1,
                   .frame = {3960, 720, 1335, 375},
                   .caption = QStringLiteral("确认加密"),
                   .captionArea = {480, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/lock.svg"),
                   .iconPlace = {180, 50},
                   .bevel = true});
    c.Text3 = passwordBox(this, "Text3", {1560, 960, 2175, 270});
    label(this, "Label6", QStringLiteral("确认密码："), {240, 1005, 900, 180})->setBuddy(c.Text3);
    addFlatButton({.index = 7,
                   .frame = {3960, 1200, 1335, 375},
                   .caption = QStringLiteral("随机密码"),
                   .captionArea = {480, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/generator.svg"),
                   .iconPlace = {120, 80},
                   .bevel = true});

    c.Check1 = checkBox(this, "Check1", QStringLiteral("保存原文件副本"), {360, 1440, 1575, 255});
    c.Check2 =
        checkBox(this, "Check2", QStringLiteral("生成自加密批处理文件"), {360, 1680, 2175, 255});
    c.Check3 =
        checkBox(this, "Check3", QStringLiteral("生成自解密批处理文件"), {360, 1920, 2415, 255});

    c.info = place(new QPlainTextEdit(this), "info", {360, 2280, 3855, 855});
    c.info->setReadOnly(true);
    c.info->setTabChangesFocus(true);
    c.info->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBackground(c.info, QPalette::Base, Qt::white);
    c.info->setAccessibleName(QStringLiteral("操作记录"));
    addFlatButton({.index = 4,
                   .frame = {4320, 2280, 1215, 375},
                   .caption = QStringLiteral("保存报告"),
                   .captionArea = {360, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/report.svg"),
                   .iconPlace = {70, 90}});

    auto* separator = place(new QFrame(this), "Frame2", {240, 3360, 5295, 30});
    separator->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    separator->setAccessibleName(QStringLiteral("分隔线"));

    auto* label4 = label(this, "Label4", QStringLiteral("选择解密文件："), {240, 3600, 1260, 180});
    c.Label7 = place(new QLabel(this), "Label7", Label7Area);
    c.Label7->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    c.Label7->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label4->setBuddy(c.Label7); // names the field for assistive technology

    auto* label8 = label(this, "Label8", QStringLiteral("文件解密到："), {240, 3960, 1080, 180});
    c.Text5 = place(new QLineEdit(this), "Text5", Text5Area);
    c.Text5->setFrame(false);
    c.Text5->setReadOnly(true);
    setBackground(c.Text5, QPalette::Base, palette().color(QPalette::Button));
    label8->setBuddy(c.Text5);

    // Made before button 2, which lies over it and hides it: reachable only by
    // its access key and the Tab key.
    c.Command1 =
        place(new QPushButton(QStringLiteral("&Cexit"), this), "Command1", {1856, 4320, 735, 375});
    addFlatButton({.index = 2,
                   .frame = {1496, 4320, 1215, 375},
                   .caption = QStringLiteral("关闭(&C)"),
                   .captionArea = {480, 120, 630, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/close.svg"),
                   .iconPixels = {17, 15},
                   .iconPlace = {120, 75}});
    addFlatButton({.index = 3,
                   .frame = {3056, 4320, 1238, 375},
                   .caption = QStringLiteral("关于程序"),
                   .captionArea = {450, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/about.svg"),
                   .iconPlace = {120, 90}});

    // The design's tab indices, in rising order.
    QWidget* const tabOrder[] = {c.Text2,    c.Text3, c.Text5,  c.Check1, c.Label3,
                                 c.Command1, c.info,  c.Check2, c.Check3};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    c.Text2->setFocus();

    setOptions(options);
    actions_ = new workflow::MainWindowActions(*this, controls_, desktop, random, clock, formats);
    connect(this, &MainWindow::buttonReleased, actions_,
            &workflow::MainWindowActions::buttonReleased);
    connectInputs();
    centreOnScreen();
}

// Put away while the state the flat buttons share still exists: hiding a
// shown window tells every button, which then returns to rest.
MainWindow::~MainWindow() {
    hide();
}

void MainWindow::createIconButtons() {
    // Copies start where button 0 is: the picker keeps its left, beside the
    // field it fills; the unlock button goes before the field of its result.
    const FlatButton& picker = *controls_.Frame1[0];
    controls_.Frame1[5] = picker.copy(5, QStringLiteral("选择解密文件"));
    controls_.Frame1[5]->move(picker.x(), desktop::pixels(Label7Area.top() - 20));
    controls_.Frame1[6] =
        picker.copy(6, QStringLiteral("解密"), QStringLiteral(":/mainwindow/icons/unlock.svg"));
    controls_.Frame1[6]->move(desktop::pointInTwips(Label7Area.left(), Text5Area.top() - 10));
    for (const int index : {5, 6}) {
        FlatButton* button = controls_.Frame1[index];
        connect(button, &FlatButton::released, this, &MainWindow::buttonReleased);
        button->show();
    }
}

startup::Options MainWindow::options() const {
    return {checkValue(*controls_.Check1), checkValue(*controls_.Check2),
            checkValue(*controls_.Check3)};
}

void MainWindow::setOptions(const startup::Options& options) {
    setCheckValue(*controls_.Check1, options.Check1);
    setCheckValue(*controls_.Check2, options.Check2);
    setCheckValue(*controls_.Check3, options.Check3);
}

void MainWindow::connectInputs() {
    const MainWindowControls& c = controls_;
    connect(c.Label3, &QLineEdit::returnPressed, c.Text2, [this] { controls_.Text2->setFocus(); });
    connect(c.Text2, &QLineEdit::returnPressed, c.Text3, [this] { controls_.Text3->setFocus(); });
    // Encrypts as button 1 would, without drawing a click on it.
    connect(c.Text3, &QLineEdit::returnPressed, this, [this] {
        controls_.Frame1[1]->showCaptionAtRest();
        emit buttonReleased(1, Qt::NoButton);
    });

    connect(c.info, &QPlainTextEdit::textChanged, this, &MainWindow::selectWholeLog);
    c.info->viewport()->installEventFilter(this);

    c.Command1->installEventFilter(this);
    connect(c.Command1, &QPushButton::clicked, this, &MainWindow::endNow);

    connect(actions_, &workflow::MainWindowActions::busyChanged, this, [this](bool busy) {
        showBusy(busy);
        if (busy)
            return;
        switch (std::exchange(pendingEnding_, Ending::None)) {
        case Ending::None:
            return;
        case Ending::CloseWindow:
            close();
            return;
        case Ending::EndProgram:
            endNow();
            return;
        }
    });
}

// The whole log selected, from its start to its end, which brings the end
// into view.
void MainWindow::selectWholeLog() {
    QTextCursor cursor(controls_.info->document());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    controls_.info->setTextCursor(cursor);
}

// While busy, every button but 2 is greyed and the boxes that feed a job are
// disabled: nothing typed, dropped or generated meanwhile could be lost when
// the action ends by emptying them, and no dialog can hold the action up. A
// box that had the focus hands it to the log: left to Qt, the focus would
// move on along the tab order to the hidden exit button, which ends the
// program. It gets it back afterwards.
void MainWindow::showBusy(bool busy) {
    const MainWindowControls& c = controls_;
    QWidget* const boxes[] = {c.Label3, c.Text2, c.Text3};
    if (busy) {
        const bool boxFocused = std::ranges::find(boxes, focusWidget()) != std::end(boxes);
        focusBeforeBusy_ = boxFocused ? focusWidget() : nullptr;
        if (boxFocused)
            c.info->setFocus(Qt::OtherFocusReason);
    }
    for (QWidget* box : boxes)
        box->setEnabled(!busy);
    for (FlatButton* button : c.Frame1) {
        if (button && button != c.Frame1[2])
            button->setEnabled(!busy);
    }
    if (!busy && focusBeforeBusy_ && focusWidget() == c.info)
        focusBeforeBusy_->setFocus(Qt::OtherFocusReason);
}

// The program never ends in the middle of an action that writes a file: a
// busy one is finished first.
bool MainWindow::deferredWhileBusy(Ending ending) {
    if (!actions_->busy())
        return false;
    pendingEnding_ = std::max(pendingEnding_, ending);
    return true;
}

void MainWindow::endNow() {
    if (!deferredWhileBusy(Ending::EndProgram))
        desktop_.end.now(exitStatus_);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_.Command1 && event->type() == QEvent::FocusIn)
        endNow();
    if (watched == controls_.info->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        selectWholeLog();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Closing saves the options; a failure to save them still closes.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (deferredWhileBusy(Ending::CloseWindow)) {
        event->ignore();
        return;
    }
    startup::saveSettings(desktop_.files.writable(QLatin1String(startup::SettingsFileName)),
                          options());
    event->accept();
}

// Like the file box, the window takes no drop while busy.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !actions_->busy())
        event->acceptProposedAction();
}

// Only the first file counts; a drop without any leaves the box as it was.
void MainWindow::dropEvent(QDropEvent* event) {
    const std::optional<QUrl> file = firstDroppedFile(*event->mimeData());
    if (!file || actions_->busy())
        return;
    event->acceptProposedAction();
    const desktop::NameText name = desktop::droppedName(*file);
    if (name.refusal.isEmpty()) {
        controls_.Label3->setText(name.text);
        return;
    }
    // Told once the drop is over: the program it came from waits for it.
    QMetaObject::invokeMethod(
        this,
        [this, refusal = name.refusal] { desktop_.boxes.show(this, refusal, desktop::Icon::Stop); },
        Qt::QueuedConnection);
}

void MainWindow::addFlatButton(const FlatButtonDesign& design) {
    auto* button = new FlatButton(design, buttons_, this);
    connect(button, &FlatButton::released, this, &MainWindow::buttonReleased);
    controls_.Frame1[design.index] = button;
}

// Centred by the outer size of the design, which holds before the window
// system has put its frame around the window.
void MainWindow::centreOnScreen() {
    QRect outer(QPoint(), desktop::sizeInTwips(OuterWidthTwips, OuterHeightTwips));
    outer.moveCenter(screen()->availableGeometry().center());
    move(outer.topLeft());
}

} // namespace veskard
