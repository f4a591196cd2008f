#include "gui/mainwindow/MainWindow.h"

#include "gui/about/AboutDialog.h"
#include "gui/desktop/DesignLook.h"
#include "gui/desktop/NameText.h"
#include "gui/desktop/Twips.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "gui/generator/PasswordGeneratorDialog.h"
#include "gui/mainwindow/Accessibility.h"
#include "gui/writers/ReportFile.h"
#include "texts/Texts.h"

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

// The person answers in message boxes and dialogs over the window.
class MainWindow::Person final : public MainWindowPerson {
public:
    Person(MainWindow& window, engine::RandomSource& random, const platform::Clock& clock,
           const engine::TextFormats& formats)
        : window_(window)
        , desktop_(window.desktop_)
        , random_(random)
        , clock_(clock)
        , formats_(formats) {}

    Answer show(const QString& text, Icon icon, Buttons buttons) override {
        return desktop_.boxes.show(&window_, text, icon, buttons);
    }
    QString pick(const FileRequest& request) override {
        return desktop_.pickers.pick(&window_, request);
    }
    QString askPassword(const PasswordChecker& check) override {
        return PasswordPromptDialog(check, desktop_.boxes, &window_).ask();
    }
    std::optional<QString> generatePassword() override {
        return PasswordGeneratorDialog(&window_, desktop_, random_, clock_, formats_)
            .choosePassword();
    }
    void open(const QString& absolutePath) override {
        desktop_.shell.openWithDefaultProgram(&window_, absolutePath);
    }
    engine::JobStatus saveReport(const QString& log) override {
        return gui::saveReport(log, desktop_.files, desktop_.shell);
    }

private:
    MainWindow& window_;
    const Desktop& desktop_;
    engine::RandomSource& random_;
    const platform::Clock& clock_;
    const engine::TextFormats& formats_;
};

template <typename Slot>
FlatButton* MainWindow::addFlatButton(const FlatButtonDesign& design, Slot action) {
    auto* button = new FlatButton(design, buttons_, this);
    connect(button, &FlatButton::clicked, this, action);
    return button;
}

MainWindow::MainWindow(const Desktop& desktop, engine::RandomSource& random,
                       const platform::Clock& clock, const engine::TextFormats& formats,
                       const Options& options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , desktop_(desktop)
    , person_(std::make_unique<Person>(*this, random, clock, formats))
    , controller_(*person_, random, clock, formats, this) {
    installMainWindowAccessibility();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString(texts::mainWindow::caption));
    setFont(designFont());
    // The size never changes: no maximize button, no border to drag.
    setFixedSize(sizeInTwips(ClientWidthTwips, ClientHeightTwips));
    setAcceptDrops(true);

    auto* sourceCaption = label(this, "Label10", QString(texts::mainWindow::chooseSourceLabel),
                                {240, 285, 1260, 180});
    sourcePathEdit_ = place(new QLineEdit(this), "Label3", {1560, 240, 3615, 270});
    setBackground(sourcePathEdit_, QPalette::Base, Qt::white);
    sourceCaption->setBuddy(sourcePathEdit_);
    sourcePicker_ = addFlatButton({.index = 0,
                                   .frame = {5280, 240, 300, 300},
                                   .iconResource = QStringLiteral(":/mainwindow/icons/open.png"),
                                   .iconPlace = {30, 30},
                                   .accessibleName = QString(texts::mainWindow::chooseSource)},
                                  &MainWindow::pickSourceFile);

    passwordEdit_ = passwordBox(this, "Text2", {1560, 600, 2175, 270});
    label(this, "Label5", QString(texts::mainWindow::passwordLabel), {240, 645, 900, 180})
        ->setBuddy(passwordEdit_);
    encryptButton_ = addFlatButton({.index = 1,
                                    .frame = {3960, 720, 1335, 375},
                                    .caption = QString(texts::mainWindow::lock),
                                    .captionArea = {480, 120, 720, 180},
                                    .iconResource = QStringLiteral(":/mainwindow/icons/lock.png"),
                                    .iconPlace = {180, 50},
                                    .bevel = true},
                                   &MainWindow::encrypt);
    confirmPasswordEdit_ = passwordBox(this, "Text3", {1560, 960, 2175, 270});
    label(this, "Label6", QString(texts::mainWindow::confirmLabel), {240, 1005, 900, 180})
        ->setBuddy(confirmPasswordEdit_);
    addFlatButton({.index = 7,
                   .frame = {3960, 1200, 1335, 375},
                   .caption = QString(texts::mainWindow::generate),
                   .captionArea = {480, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/generator.png"),
                   .iconPlace = {120, 80},
                   .bevel = true},
                  &MainWindow::generatePassword);

    keepOriginalCheck_ =
        checkBox(this, "Check1", QString(texts::mainWindow::keepOriginal), {360, 1440, 1575, 255});
    encryptScriptCheck_ = checkBox(this, "Check2", QString(texts::mainWindow::writeEncryptScript),
                                   {360, 1680, 2175, 255});
    decryptScriptCheck_ = checkBox(this, "Check3", QString(texts::mainWindow::writeDecryptScript),
                                   {360, 1920, 2415, 255});
    // In the free space right of the options; a longer caption would not fit.
    strongLockCheck_ =
        checkBox(this, "Check4", QString(texts::mainWindow::strongLock), {3960, 1680, 1335, 255});
    strongLockCheck_->setToolTip(QString(texts::mainWindow::strongLockTip));
    strongLockCheck_->setAccessibleDescription(QString(texts::mainWindow::strongLockTip));

    logView_ = place(new QPlainTextEdit(this), "info", {360, 2280, 3855, 855});
    logView_->setReadOnly(true);
    logView_->setTabChangesFocus(true);
    logView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBackground(logView_, QPalette::Base, Qt::white);
    logView_->setAccessibleName(QString(texts::mainWindow::log));
    addFlatButton({.index = 4,
                   .frame = {4320, 2280, 1215, 375},
                   .caption = QString(texts::mainWindow::saveReport),
                   .captionArea = {360, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/report.png"),
                   .iconPlace = {70, 90}},
                  &MainWindow::saveReport);

    auto* separator = place(new QFrame(this), "Frame2", {240, 3360, 5295, 30});
    separator->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    separator->setAccessibleName(QString(texts::common::separator));

    auto* lockedPathCaption = label(this, "Label4", QString(texts::mainWindow::chooseLockedLabel),
                                    {240, 3600, 1260, 180});
    lockedPathLabel_ = place(new QLabel(this), "Label7", LockedPathArea);
    lockedPathLabel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lockedPathLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lockedPathCaption->setBuddy(lockedPathLabel_); // names the field for assistive technology

    auto* restoredPathCaption =
        label(this, "Label8", QString(texts::mainWindow::restoredLabel), {240, 3960, 1080, 180});
    restoredPathEdit_ = place(new QLineEdit(this), "Text5", RestoredPathArea);
    restoredPathEdit_->setFrame(false);
    restoredPathEdit_->setReadOnly(true);
    setBackground(restoredPathEdit_, QPalette::Base, palette().color(QPalette::Button));
    restoredPathCaption->setBuddy(restoredPathEdit_);

    // Made before 关闭, which lies over it and hides it: reachable only by its
    // access key and the Tab key.
    hiddenExitButton_ =
        place(new QPushButton(QStringLiteral("&Cexit"), this), "Command1", {1856, 4320, 735, 375});
    closeButton_ = addFlatButton({.index = 2,
                                  .frame = {1496, 4320, 1215, 375},
                                  .caption = QString(texts::mainWindow::close),
                                  .captionArea = {480, 120, 630, 180},
                                  .iconResource = QStringLiteral(":/mainwindow/icons/close.png"),
                                  .iconPixels = {17, 15},
                                  .iconPlace = {120, 75}},
                                 &QWidget::close);
    addFlatButton({.index = 3,
                   .frame = {3056, 4320, 1238, 375},
                   .caption = QString(texts::mainWindow::about),
                   .captionArea = {450, 120, 720, 180},
                   .iconResource = QStringLiteral(":/mainwindow/icons/about.png"),
                   .iconPlace = {120, 90}},
                  &MainWindow::about);

    // The design's tab indices, in rising order; the strong lock's box came last.
    QWidget* const tabOrder[] = {passwordEdit_,      confirmPasswordEdit_, restoredPathEdit_,
                                 keepOriginalCheck_, sourcePathEdit_,      hiddenExitButton_,
                                 logView_,           encryptScriptCheck_,  decryptScriptCheck_,
                                 strongLockCheck_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    passwordEdit_->setFocus();

    setOptions(options);
    connectInputs();
    centreOnScreen();
}

// Put away while the state the flat buttons share still exists: hiding a
// shown window tells every button, which then returns to rest.
MainWindow::~MainWindow() {
    hide();
}

void MainWindow::createIconButtons() {
    // Copies start where the picker of the file to lock is: the picker keeps
    // its left, beside the field it fills; the unlock button goes before the
    // field of its result.
    const FlatButton& picker = *sourcePicker_;
    FlatButton* lockedPicker = picker.copy(5, QString(texts::mainWindow::chooseLocked));
    lockedPicker->move(picker.x(), pixels(LockedPathArea.top() - 20));
    FlatButton* unlock = picker.copy(6, QString(texts::mainWindow::unlock),
                                     QStringLiteral(":/mainwindow/icons/unlock.png"));
    unlock->move(pointInTwips(LockedPathArea.left(), RestoredPathArea.top() - 10));
    connect(lockedPicker, &FlatButton::clicked, this, &MainWindow::pickLockedFile);
    connect(unlock, &FlatButton::clicked, this, &MainWindow::decrypt);
    lockedPicker->show();
    unlock->show();
}

Options MainWindow::options() const {
    return {checkValue(*keepOriginalCheck_), checkValue(*encryptScriptCheck_),
            checkValue(*decryptScriptCheck_), checkValue(*strongLockCheck_)};
}

void MainWindow::setSourcePath(const QString& path) {
    sourcePathEdit_->setText(path);
}

void MainWindow::setOptions(const Options& options) {
    setCheckValue(*keepOriginalCheck_, options.keepOriginal);
    setCheckValue(*encryptScriptCheck_, options.writeEncryptScript);
    setCheckValue(*decryptScriptCheck_, options.writeDecryptScript);
    setCheckValue(*strongLockCheck_, options.strongLock);
}

void MainWindow::connectInputs() {
    connect(sourcePathEdit_, &QLineEdit::returnPressed, passwordEdit_,
            [this] { passwordEdit_->setFocus(); });
    connect(passwordEdit_, &QLineEdit::returnPressed, confirmPasswordEdit_,
            [this] { confirmPasswordEdit_->setFocus(); });
    // Encrypts as 确认加密 would, without drawing a click on it.
    connect(confirmPasswordEdit_, &QLineEdit::returnPressed, this, &MainWindow::encrypt);

    connect(logView_, &QPlainTextEdit::textChanged, this, &MainWindow::selectWholeLog);
    logView_->viewport()->installEventFilter(this);

    hiddenExitButton_->installEventFilter(this);
    connect(hiddenExitButton_, &QPushButton::clicked, this, &MainWindow::endNow);

    connect(&controller_, &MainWindowController::logShown, logView_, &QPlainTextEdit::setPlainText);
    connect(&controller_, &MainWindowController::restoredPathShown, restoredPathEdit_,
            &QLineEdit::setText);
    connect(&controller_, &MainWindowController::lockedPathShown, lockedPathLabel_,
            &QLabel::setText);
    connect(&controller_, &MainWindowController::jobStarted, this, [this] {
        if (!std::exchange(busy_, true))
            showBusy(true);
    });
}

void MainWindow::pickSourceFile() {
    run(&MainWindowController::pickSource);
}

void MainWindow::encrypt() {
    run(&MainWindowController::encrypt);
}

void MainWindow::generatePassword() {
    run(&MainWindowController::generatePassword);
}

void MainWindow::saveReport() {
    run(&MainWindowController::saveReport);
}

void MainWindow::pickLockedFile() {
    run(&MainWindowController::pickLocked);
}

void MainWindow::decrypt() {
    run(&MainWindowController::decrypt);
}

void MainWindow::about() {
    if (!busy_)
        showAbout(this, desktop_);
}

// While one action is busy, the window greys every way to another, and
// closing waits for its end (closeEvent). A click can still come through the
// job's event loop, from a press that began before it (assistive technology's
// press ends 100 ms later): it is dropped.
void MainWindow::run(Action action) {
    if (busy_)
        return;
    showOutcome((controller_.*action)(state()));
    if (!std::exchange(busy_, false))
        return;
    showBusy(false);
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
}

MainWindowState MainWindow::state() const {
    return {sourcePathEdit_->text(),      passwordEdit_->text(),
            confirmPasswordEdit_->text(), options(),
            lockedPathLabel_->text(),     restoredPathEdit_->text()};
}

// A box is written only when its text changes: its caret and selection stay.
void MainWindow::showOutcome(const ActionOutcome& outcome) {
    const MainWindowState& shown = outcome.state;
    for (const auto& [box, text] :
         {std::pair{sourcePathEdit_, shown.sourcePath}, std::pair{passwordEdit_, shown.password},
          std::pair{confirmPasswordEdit_, shown.confirmation},
          std::pair{restoredPathEdit_, shown.restoredPath}}) {
        if (box->text() != text)
            box->setText(text);
    }
    lockedPathLabel_->setText(shown.lockedPath);
    if (shown.options != options())
        setOptions(shown.options);
    switch (outcome.focus) {
    case FocusBox::None:
        return;
    case FocusBox::Password:
        focusAndSelect(*passwordEdit_);
        return;
    case FocusBox::Confirmation:
        focusAndSelect(*confirmPasswordEdit_);
        return;
    }
}

// The whole log selected, from its start to its end, which brings the end
// into view.
void MainWindow::selectWholeLog() {
    QTextCursor cursor(logView_->document());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    logView_->setTextCursor(cursor);
}

// While busy, every button but 关闭 is greyed and the boxes that feed a job
// are disabled: nothing typed, dropped or generated meanwhile could be lost
// when the action ends by emptying them, and no dialog can hold the action
// up. A box that had the focus hands it to the log: left to Qt, the focus
// would move on along the tab order to the hidden exit button, which ends the
// program. It gets it back afterwards.
void MainWindow::showBusy(bool busy) {
    QWidget* const boxes[] = {sourcePathEdit_, passwordEdit_, confirmPasswordEdit_};
    if (busy) {
        const bool boxFocused = std::ranges::find(boxes, focusWidget()) != std::end(boxes);
        focusBeforeBusy_ = boxFocused ? focusWidget() : nullptr;
        if (boxFocused)
            logView_->setFocus(Qt::OtherFocusReason);
    }
    for (QWidget* box : boxes)
        box->setEnabled(!busy);
    for (FlatButton* button : findChildren<FlatButton*>()) {
        if (button != closeButton_)
            button->setEnabled(!busy);
    }
    if (!busy && focusBeforeBusy_ && focusWidget() == logView_)
        focusBeforeBusy_->setFocus(Qt::OtherFocusReason);
}

// The program never ends in the middle of an action that writes a file: a
// busy one is finished first.
bool MainWindow::deferredWhileBusy(Ending ending) {
    if (!busy_)
        return false;
    pendingEnding_ = std::max(pendingEnding_, ending);
    return true;
}

void MainWindow::endNow() {
    if (!deferredWhileBusy(Ending::EndProgram))
        desktop_.end.now(exitStatus_);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == hiddenExitButton_ && event->type() == QEvent::FocusIn)
        endNow();
    if (watched == logView_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        selectWholeLog();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (deferredWhileBusy(Ending::CloseWindow)) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

// Like the file box, the window takes no drop while busy.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !busy_)
        event->acceptProposedAction();
}

// Only the first file counts; a drop without any leaves the box as it was.
void MainWindow::dropEvent(QDropEvent* event) {
    const std::optional<QUrl> file = firstDroppedFile(*event->mimeData());
    if (!file || busy_)
        return;
    event->acceptProposedAction();
    const NameText name = droppedName(*file);
    if (name.refusal.isEmpty()) {
        sourcePathEdit_->setText(name.text);
        return;
    }
    // Told once the drop is over: the program it came from waits for it.
    QMetaObject::invokeMethod(
        this, [this, refusal = name.refusal] { desktop_.boxes.show(this, refusal, Icon::Stop); },
        Qt::QueuedConnection);
}

// Centred by the outer size of the design, which holds before the window
// system has put its frame around the window.
void MainWindow::centreOnScreen() {
    QRect outer(QPoint(), sizeInTwips(OuterWidthTwips, OuterHeightTwips));
    outer.moveCenter(screen()->availableGeometry().center());
    move(outer.topLeft());
}

} // namespace veskard::gui
