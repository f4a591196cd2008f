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

namespace veskard::gui {
namespace {

// The design, in twips: the inside area, the outer size it has with the
// classic border, and the places the two icon buttons are put against.
constexpr int ClientWidthTwips = 5790;
constexpr int ClientHeightTwips = 4890;
constexpr int OuterWidthTwips = 5910;
constexpr int OuterHeightTwips = 5295;
const QRect LockedPathArea{1560, 3600, 3615, 255};
const QRect RestoredPathArea{2040, 3915, 3135, 270};

template <typename Widget> Widget* place(Widget* widget, const char* name, QRect twips) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(rectInTwips(twips.x(), twips.y(), twips.width(), twips.height()));
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
    makePasswordBox(*box);
    return box;
}

// Ticked or not as the window's options say (setOptions).
QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, QRect twips) {
    return place(new QCheckBox(text, parent), name, twips);
}

// A saved value of 2 shows greyed. A click makes it ticked, and from then on
// the box is ticked or clear, as a person can make it.
void setCheckValue(QCheckBox& box, CheckValue value) {
    switch (value) {
    case CheckValue::Unticked:
        box.setCheckState(Qt::Unchecked);
        return;
    case CheckValue::Ticked:
        box.setCheckState(Qt::Checked);
        return;
    case CheckValue::Greyed:
        box.setCheckState(Qt::PartiallyChecked);
        QObject::connect(
            &box, &QCheckBox::clicked, &box, [&box] { box.setTristate(false); },
            Qt::SingleShotConnection);
        return;
    }
}

CheckValue checkValue(const QCheckBox& box) {
    switch (box.checkState()) {
    case Qt::Unchecked:
        break;
    case Qt::Checked:
        return CheckValue::Ticked;
    case Qt::PartiallyChecked:
        return CheckValue::Greyed;
    }
    return CheckValue::Unticked;
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

MainWindow::MainWindow(const Desktop& desktop, engine::RandomSource& random,
                       const platform::Clock& clock, const engine::TextFormats& formats,
                       const Options& options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , desktop_(desktop) {
    installMainWindowAccessibility();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Orvessa"));
    setFont(designFont());
    // The size never changes: no maximize button, no border to drag.
    setFixedSize(sizeInTwips(ClientWidthTwips, ClientHeightTwips));
    setAcceptDrops(true);
    MainWindowControls& c = controls_;

    auto* sourceCaption =
        label(this, "Label10", QStringLiteral("选择加密文件："), {240, 285, 1260, 180});
    c.sourcePathEdit = place(new QLineEdit(this), "Label3", {1560, 240, 3615, 270});
    setBackground(c.sourcePathEdit, QPalette::Base, Qt::white);
    sourceCaption->setBuddy(c.sourcePathEdit);
    addFlatButton({.index = 0,
                   .frame = {5280, 240, 300, 300},
                   .iconResource = QStringLiteral(":/mainwindow/icons/open.png"),
                   .iconPlace = {30, 30},
                   .accessibleName = QStringLiteral("选择加密文件")});

    c.passwordEdit = passwordBox(this, "Text2", {1560, 600, 2175, 270});
    label(this, "Label5", QStringLiteral("输入密码："), {240, 645, 900, 180})
        ->setBuddy(c.passwordEdit);
    addFlatButton({.index = 1,
                   .frame = {3960, 720, 1335, 375},
                   .caption = QStringLiteral("确认加密"),
                   .captionArea = {480, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/lock.png"),
                   .iconPlace = {180, 50},
                   .bevel = true});
    c.confirmPasswordEdit = passwordBox(this, "Text3", {1560, 960, 2175, 270});
    label(this, "Label6", QStringLiteral("确认密码："), {240, 1005, 900, 180})
        ->setBuddy(c.confirmPasswordEdit);
    addFlatButton({.index = 7,
                   .frame = {3960, 1200, 1335, 375},
                   .caption = QStringLiteral("随机密码"),
                   .captionArea = {480, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/generator.png"),
                   .iconPlace = {120, 80},
                   .bevel = true});

    c.keepOriginalCheck =
        checkBox(this, "Check1", QStringLiteral("保存原文件副本"), {360, 1440, 1575, 255});
    c.encryptScriptCheck =
        checkBox(this, "Check2", QStringLiteral("生成自加密批处理文件"), {360, 1680, 2175, 255});
    c.decryptScriptCheck =
        checkBox(this, "Check3", QStringLiteral("生成自解密批处理文件"), {360, 1920, 2415, 255});

    c.logView = place(new QPlainTextEdit(this), "info", {360, 2280, 3855, 855});
    c.logView->setReadOnly(true);
    c.logView->setTabChangesFocus(true);
    c.logView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBackground(c.logView, QPalette::Base, Qt::white);
    c.logView->setAccessibleName(QStringLiteral("操作记录"));
    addFlatButton({.index = 4,
                   .frame = {4320, 2280, 1215, 375},
                   .caption = QStringLiteral("保存报告"),
                   .captionArea = {360, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/report.png"),
                   .iconPlace = {70, 90}});

    auto* separator = place(new QFrame(this), "Frame2", {240, 3360, 5295, 30});
    separator->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    separator->setAccessibleName(QStringLiteral("分隔线"));

    auto* lockedPathCaption =
        label(this, "Label4", QStringLiteral("选择解密文件："), {240, 3600, 1260, 180});
    c.lockedPathLabel = place(new QLabel(this), "Label7", LockedPathArea);
    c.lockedPathLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    c.lockedPathLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lockedPathCaption->setBuddy(c.lockedPathLabel); // names the field for assistive technology

    auto* restoredPathCaption =
        label(this, "Label8", QStringLiteral("文件解密到："), {240, 3960, 1080, 180});
    c.restoredPathEdit = place(new QLineEdit(this), "Text5", RestoredPathArea);
    c.restoredPathEdit->setFrame(false);
    c.restoredPathEdit->setReadOnly(true);
    setBackground(c.restoredPathEdit, QPalette::Base, palette().color(QPalette::Button));
    restoredPathCaption->setBuddy(c.restoredPathEdit);

    // Made before button 2, which lies over it and hides it: reachable only by
    // its access key and the Tab key.
    c.hiddenExitButton =
        place(new QPushButton(QStringLiteral("&Cexit"), this), "Command1", {1856, 4320, 735, 375});
    addFlatButton({.index = 2,
                   .frame = {1496, 4320, 1215, 375},
                   .caption = QStringLiteral("关闭(&C)"),
                   .captionArea = {480, 120, 630, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/close.png"),
                   .iconPixels = {17, 15},
                   .iconPlace = {120, 75}});
    addFlatButton({.index = 3,
                   .frame = {3056, 4320, 1238, 375},
                   .caption = QStringLiteral("关于程序"),
                   .captionArea = {450, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/about.png"),
                   .iconPlace = {120, 90}});

    // The design's tab indices, in rising order.
    QWidget* const tabOrder[] = {c.passwordEdit,      c.confirmPasswordEdit, c.restoredPathEdit,
                                 c.keepOriginalCheck, c.sourcePathEdit,      c.hiddenExitButton,
                                 c.logView,           c.encryptScriptCheck,  c.decryptScriptCheck};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    c.passwordEdit->setFocus();

    setOptions(options);
    actions_ = new MainWindowActions(*this, controls_, desktop, random, clock, formats);
    connect(this, &MainWindow::buttonReleased, actions_, &MainWindowActions::buttonReleased);
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
    const FlatButton& picker = *controls_.flatButtons[0];
    controls_.flatButtons[5] = picker.copy(5, QStringLiteral("选择解密文件"));
    controls_.flatButtons[5]->move(picker.x(), pixels(LockedPathArea.top() - 20));
    controls_.flatButtons[6] =
        picker.copy(6, QStringLiteral("解密"), QStringLiteral(":/mainwindow/icons/unlock.png"));
    controls_.flatButtons[6]->move(
        pointInTwips(LockedPathArea.left(), RestoredPathArea.top() - 10));
    for (const int index : {5, 6}) {
        FlatButton* button = controls_.flatButtons[index];
        connect(button, &FlatButton::released, this, &MainWindow::buttonReleased);
        button->show();
    }
}

Options MainWindow::options() const {
    return {checkValue(*controls_.keepOriginalCheck), checkValue(*controls_.encryptScriptCheck),
            checkValue(*controls_.decryptScriptCheck)};
}

void MainWindow::setOptions(const Options& options) {
    setCheckValue(*controls_.keepOriginalCheck, options.keepOriginal);
    setCheckValue(*controls_.encryptScriptCheck, options.writeEncryptScript);
    setCheckValue(*controls_.decryptScriptCheck, options.writeDecryptScript);
}

void MainWindow::connectInputs() {
    const MainWindowControls& c = controls_;
    connect(c.sourcePathEdit, &QLineEdit::returnPressed, c.passwordEdit,
            [this] { controls_.passwordEdit->setFocus(); });
    connect(c.passwordEdit, &QLineEdit::returnPressed, c.confirmPasswordEdit,
            [this] { controls_.confirmPasswordEdit->setFocus(); });
    // Encrypts as button 1 would, without drawing a click on it.
    connect(c.confirmPasswordEdit, &QLineEdit::returnPressed, this, [this] {
        controls_.flatButtons[1]->showCaptionAtRest();
        emit buttonReleased(1, Qt::NoButton);
    });

    connect(c.logView, &QPlainTextEdit::textChanged, this, &MainWindow::selectWholeLog);
    c.logView->viewport()->installEventFilter(this);

    c.hiddenExitButton->installEventFilter(this);
    connect(c.hiddenExitButton, &QPushButton::clicked, this, &MainWindow::endNow);

    connect(actions_, &MainWindowActions::busyChanged, this, [this](bool busy) {
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
    QTextCursor cursor(controls_.logView->document());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    controls_.logView->setTextCursor(cursor);
}

// While busy, every button but 2 is greyed and the boxes that feed a job are
// disabled: nothing typed, dropped or generated meanwhile could be lost when
// the action ends by emptying them, and no dialog can hold the action up. A
// box that had the focus hands it to the log: left to Qt, the focus would
// move on along the tab order to the hidden exit button, which ends the
// program. It gets it back afterwards.
void MainWindow::showBusy(bool busy) {
    const MainWindowControls& c = controls_;
    QWidget* const boxes[] = {c.sourcePathEdit, c.passwordEdit, c.confirmPasswordEdit};
    if (busy) {
        const bool boxFocused = std::ranges::find(boxes, focusWidget()) != std::end(boxes);
        focusBeforeBusy_ = boxFocused ? focusWidget() : nullptr;
        if (boxFocused)
            c.logView->setFocus(Qt::OtherFocusReason);
    }
    for (QWidget* box : boxes)
        box->setEnabled(!busy);
    for (FlatButton* button : c.flatButtons) {
        if (button && button != c.flatButtons[2])
            button->setEnabled(!busy);
    }
    if (!busy && focusBeforeBusy_ && focusWidget() == c.logView)
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
    if (watched == controls_.hiddenExitButton && event->type() == QEvent::FocusIn)
        endNow();
    if (watched == controls_.logView->viewport() && event->type() == QEvent::MouseButtonDblClick) {
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
    saveSettings(desktop_.files.writable(QLatin1String(SettingsFileName)), options());
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
    const NameText name = droppedName(*file);
    if (name.refusal.isEmpty()) {
        controls_.sourcePathEdit->setText(name.text);
        return;
    }
    // Told once the drop is over: the program it came from waits for it.
    QMetaObject::invokeMethod(
        this, [this, refusal = name.refusal] { desktop_.boxes.show(this, refusal, Icon::Stop); },
        Qt::QueuedConnection);
}

void MainWindow::addFlatButton(const FlatButtonDesign& design) {
    auto* button = new FlatButton(design, buttons_, this);
    connect(button, &FlatButton::released, this, &MainWindow::buttonReleased);
    controls_.flatButtons[design.index] = button;
}

// Centred by the outer size of the design, which holds before the window
// system has put its frame around the window.
void MainWindow::centreOnScreen() {
    QRect outer(QPoint(), sizeInTwips(OuterWidthTwips, OuterHeightTwips));
    outer.moveCenter(screen()->availableGeometry().center());
    move(outer.topLeft());
}

} // namespace veskard::gui
