#include "gui/generator/PasswordGeneratorDialog.h"

#include "gui/desktop/DesignLook.h"
#include "gui/desktop/Paths.h"
#include "gui/desktop/Placement.h"
#include "gui/desktop/SystemText.h"
#include "gui/desktop/Twips.h"
#include "gui/generator/PasswordList.h"
#include "platform/File.h"
#include "texts/Texts.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <span>

namespace veskard::gui {
namespace {

// The design, in twips. The second row of the number boxes and each further
// tick box and button are copies of the first, moved down by a fixed step.
constexpr int ClientWidth = 4245;
constexpr int ClientHeight = 4560;
constexpr int RowStep = 300;
constexpr int LabelLeft = 120, LabelTop = 165, LabelHeight = 180;
constexpr int BoxLeft = 1920, BoxTop = 120, BoxWidth = 1215, BoxHeight = 270;
constexpr int SpinnerLeft = 3120, SpinnerWidth = 240;
constexpr int FrameLeft = 120, FrameTop = 810, FrameWidth = 3135, FrameHeight = 1599;
constexpr int TickLeft = 240, TickTop = 240, TickWidth = 2415, TickHeight = 255; // in the frame
constexpr int ListLeft = 120, ListTop = 2520, ListWidth = 2775, ListHeight = 1860;
constexpr int ButtonLeft = 3000, ButtonTop = 2520, ButtonWidth = 1095, ButtonHeight = 375;
constexpr int ButtonStep = 400;

// The spinners run from -1000 at the top to 0 at the bottom; the box beside
// one shows minus its value, so the up arrow counts up.
constexpr int SpinnerTop = -engine::MostPerSetting;

const QString LineEnd = QStringLiteral("\r\n");

QString withoutColon(const QString& caption) {
    return caption.endsWith(QChar(u'：')) ? caption.chopped(1) : caption;
}

} // namespace

PasswordGeneratorDialog::PasswordGeneratorDialog(QWidget* owner, const Desktop& desktop,
                                                 engine::RandomSource& random,
                                                 const platform::Clock& clock,
                                                 const engine::TextFormats& formats)
    : QDialog(owner)
    , desktop_(desktop)
    , clock_(clock)
    , formats_(formats)
    , generator_(random) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QString(texts::generator::caption));
    shapeFixedDialog(*this, ClientWidth, ClientHeight);
    createControls();
    placeControls();
    connectControls();
    nameControlsForScreenReaders();
    nextPassword_.setInterval(0);
}

PasswordGeneratorDialog::~PasswordGeneratorDialog() = default;

std::optional<QString> PasswordGeneratorDialog::choosePassword() {
    exec();
    return chosen_;
}

void PasswordGeneratorDialog::createControls() {
    const QString captions[] = {QString(texts::generator::lengthLabel),
                                QString(texts::generator::countLabel)};
    for (int i = 0; i < 2; ++i) {
        numberLabels_[i] = new QLabel(captions[i], this);
        numberLabels_[i]->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        numberBoxes_[i] = new QLineEdit(this);
        numberBoxes_[i]->setObjectName(QStringLiteral("Text1(%1)").arg(i));
        numberLabels_[i]->setBuddy(numberBoxes_[i]);
        spinners_[i] = new QScrollBar(Qt::Vertical, this);
        spinners_[i]->setObjectName(QStringLiteral("VScroll1(%1)").arg(i));
        spinners_[i]->setRange(SpinnerTop, 0);
        spinners_[i]->setSingleStep(1);
        spinners_[i]->setPageStep(1);
        spinners_[i]->setValue(0);
        // Reachable by Tab like the design's, without taking the focus from
        // the box when clicked.
        spinners_[i]->setFocusPolicy(Qt::TabFocus);
    }

    classGroup_ = new QGroupBox(QString(texts::generator::classes), this);
    classGroup_->setObjectName(QStringLiteral("Frame1"));
    // The caption sits on the frame's top line, as the design draws it, so the
    // first tick box keeps its distance from the line.
    classGroup_->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 2px groove palette(mid); border-radius: 2px; margin-top: 0.5em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    const QString classCaptions[] = {
        QString(texts::generator::lowerCase), QString(texts::generator::upperCase),
        QString(texts::generator::digits), QString(texts::generator::symbols)};
    for (int i = 0; i < 4; ++i) {
        classBoxes_[i] = new QCheckBox(classCaptions[i], classGroup_);
        classBoxes_[i]->setObjectName(QStringLiteral("Check1(%1)").arg(i));
        classBoxes_[i]->setChecked(true);
    }

    list_ = new PasswordList(this);
    list_->setObjectName(QStringLiteral("List1"));

    const QString buttonCaptions[] = {
        QString(texts::generator::generate), QString(texts::generator::add),
        QString(texts::generator::save), QString(texts::generator::copy),
        QString(texts::common::close)};
    for (int i = 0; i < 5; ++i) {
        buttons_[i] = new QPushButton(buttonCaptions[i], this);
        buttons_[i]->setObjectName(QStringLiteral("Command1(%1)").arg(i));
        // No default button: Enter presses the button that has the focus.
        buttons_[i]->setAutoDefault(false);
    }
    // Nothing to hand over, save or copy before an entry was clicked.
    for (const Button button : {Add, Save, Copy})
        buttons_[button]->setEnabled(false);

    // The design's tab order: its own controls first, then those its load
    // step made, in the order it made them.
    QWidget* const order[] = {numberBoxes_[0], spinners_[0], list_,          buttons_[Generate],
                              classBoxes_[0],  buttons_[1],  classBoxes_[1], buttons_[2],
                              classBoxes_[2],  buttons_[3],  classBoxes_[3], buttons_[4],
                              numberBoxes_[1], spinners_[1]};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void PasswordGeneratorDialog::placeControls() {
    for (int i = 0; i < 2; ++i) {
        const int step = i * RowStep;
        // Labels are as wide as their caption on one line.
        place(numberLabels_[i],
              QRect(pointInTwips(LabelLeft, LabelTop + step),
                    QSize(numberLabels_[i]->sizeHint().width(), pixels(LabelHeight))));
        numberBoxes_[i]->setGeometry(rectInTwips(BoxLeft, BoxTop + step, BoxWidth, BoxHeight));
        spinners_[i]->setGeometry(rectInTwips(SpinnerLeft, BoxTop + step, SpinnerWidth, BoxHeight));
    }
    classGroup_->setGeometry(rectInTwips(FrameLeft, FrameTop, FrameWidth, FrameHeight));
    for (int i = 0; i < 4; ++i)
        place(classBoxes_[i], rectInTwips(TickLeft, TickTop + i * RowStep, TickWidth, TickHeight));
    list_->setGeometry(rectInTwips(ListLeft, ListTop, ListWidth, ListHeight));
    for (int i = 0; i < 5; ++i)
        buttons_[i]->setGeometry(
            rectInTwips(ButtonLeft, ButtonTop + i * ButtonStep, ButtonWidth, ButtonHeight));
}

void PasswordGeneratorDialog::connectControls() {
    for (int i = 0; i < 2; ++i) {
        connect(numberBoxes_[i], &QLineEdit::textChanged, this,
                [this, i] { applyNumberBoxRule(i); });
        connect(spinners_[i], &QScrollBar::valueChanged, this, [this, i] { applySpinnerRule(i); });
    }
    connect(list_, &PasswordList::entryClicked, this, &PasswordGeneratorDialog::onEntryClicked);
    connect(buttons_[Generate], &QPushButton::clicked, this, &PasswordGeneratorDialog::generate);
    connect(buttons_[Add], &QPushButton::clicked, this, &PasswordGeneratorDialog::add);
    connect(buttons_[Save], &QPushButton::clicked, this, &PasswordGeneratorDialog::save);
    connect(buttons_[Copy], &QPushButton::clicked, this, &PasswordGeneratorDialog::copy);
    connect(buttons_[Close], &QPushButton::clicked, this, &QDialog::reject);
    connect(&nextPassword_, &QTimer::timeout, this, &PasswordGeneratorDialog::showNextPassword);
}

void PasswordGeneratorDialog::nameControlsForScreenReaders() {
    for (int i = 0; i < 2; ++i)
        numberBoxes_[i]->setAccessibleName(withoutColon(numberLabels_[i]->text()));
    spinners_[0]->setAccessibleName(QString(texts::generator::lengthSpinner));
    spinners_[1]->setAccessibleName(QString(texts::generator::countSpinner));
    list_->setAccessibleName(QString(texts::generator::list));
}

void PasswordGeneratorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    numberBoxes_[0]->setFocus();
}

void PasswordGeneratorDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        return;
    case Qt::Key_Escape:
        return; // no cancel button: Esc does not close the window
    default:
        QDialog::keyPressEvent(event);
    }
}

void PasswordGeneratorDialog::done(int result) {
    nextPassword_.stop();
    running_.reset();
    QDialog::done(result);
}

// Keeps a number box at what it accepts, and its spinner in step with it.
void PasswordGeneratorDialog::applyNumberBoxRule(int index) {
    const std::string text = numberBoxes_[index]->text().toStdString();
    if (engine::isAccepted(text))
        spinners_[index]->setValue(-engine::settingValue(text));
    else
        numberBoxes_[index]->clear();
}

void PasswordGeneratorDialog::applySpinnerRule(int index) {
    const QString shown = QString::number(-spinners_[index]->value());
    // Typing a digit moves the spinner, which then writes back the number the
    // box already holds; rewriting it would move the caret under the typist.
    if (numberBoxes_[index]->text() != shown)
        numberBoxes_[index]->setText(shown);
}

void PasswordGeneratorDialog::onEntryClicked() {
    const QListWidgetItem* current = list_->currentItem();
    list_->setToolTip(current ? current->text() : QString());
    for (const Button button : {Add, Save, Copy})
        buttons_[button]->setEnabled(true);
}

engine::Classes PasswordGeneratorDialog::tickedClasses() const {
    return {classBoxes_[0]->isChecked(), classBoxes_[1]->isChecked(), classBoxes_[2]->isChecked(),
            classBoxes_[3]->isChecked()};
}

void PasswordGeneratorDialog::generate() {
    nextPassword_.stop();
    running_.reset();
    list_->clear();
    auto started = generator_.start(tickedClasses(), numberBoxes_[0]->text().toStdString(),
                                    numberBoxes_[1]->text().toStdString());
    if (const auto* refusal = std::get_if<engine::Refusal>(&started)) {
        desktop_.boxes.tell(this, engine::refusalNotice(*refusal));
        return;
    }
    running_.emplace(std::move(std::get<engine::Generation>(started)));
    if (running_->finished())
        finishGeneration();
    else
        nextPassword_.start();
}

// One password per turn of the event loop: the list grows visibly, and the
// window answers the person, even for a thousand passwords of a thousand
// characters. Closing the window stops the timer with it.
void PasswordGeneratorDialog::showNextPassword() {
    list_->addItem(QString::fromStdString(running_->next()));
    if (running_->finished())
        finishGeneration();
}

void PasswordGeneratorDialog::finishGeneration() {
    nextPassword_.stop();
    running_.reset();
    updateHorizontalExtent();
}

void PasswordGeneratorDialog::add() {
    const QListWidgetItem* current = list_->currentItem();
    if (!current)
        return; // a new list, nothing chosen in it yet: nothing to hand over
    chosen_ = current->text();
    desktop_.boxes.show(this,
                        QString(texts::generator::rememberBefore) + *chosen_ + LineEnd +
                            QString(texts::generator::rememberAfter),
                        Icon::Exclamation);
    accept();
}

// Appends a record to paw.txt (the date and time, then the selected
// passwords) and shows the file in the text editor. A save that fails is
// passed over, as the editor then shows.
void PasswordGeneratorDialog::save() {
    const QString path = desktop_.files.writable(QString(texts::files::passwords));
    const QString record = QString::fromStdString(formats_.dateTime(clock_.now())) + LineEnd +
                           selectionText() + LineEnd;
    // Only the user's own regular file: never a link another user planted,
    // never a FIFO that would wait for a reader.
    Result<platform::File> file =
        platform::File::openProgramFile(toPath(path), platform::ProgramFileAccess::Append);
    if (file) {
        const QByteArray bytes = systemText(record);
        static_cast<void>(file->writeAll(std::as_bytes(std::span(bytes))));
    }
    desktop_.shell.openInTextEditor(path);
    updateHorizontalExtent();
}

void PasswordGeneratorDialog::copy() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    const QString selection = selectionText();
    if (!selection.isEmpty())
        clipboard->setText(selection);
    updateHorizontalExtent();
}

// The selected passwords in list order, one a line, with no line end after
// the last.
QString PasswordGeneratorDialog::selectionText() const {
    QStringList selected;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->isSelected())
            selected.append(list_->item(row)->text());
    }
    return selected.join(LineEnd);
}

// The list scrolls sideways as far as its first entry is wide, and a margin.
void PasswordGeneratorDialog::updateHorizontalExtent() {
    const QString first = list_->count() > 0 ? list_->item(0)->text() : QString();
    list_->setHorizontalExtent(list_->fontMetrics().horizontalAdvance(first) + 20);
}

} // namespace veskard::gui
