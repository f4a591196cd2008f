#pragma once

#include "engine/PasswordGenerator.h"
#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "gui/desktop/Desktop.h"
#include "platform/Clock.h"

#include <QDialog>
#include <QTimer>

#include <array>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace veskard::gui {

class PasswordList;

// The password generator window: the length and count boxes with their
// spinners, the four character classes, the list of passwords made, and the
// buttons that make them, hand one back to the window that opened it, save the
// selected ones to paw.txt, copy them, or close. Each opening starts afresh;
// nothing of it outlives the window but what "添加" hands back.
class PasswordGeneratorDialog final : public QDialog {
    Q_OBJECT

public:
    // Buttons, in the order of the design's control array.
    enum Button { Generate, Add, Save, Copy, Close };

    // The clock and formats date each record saved to paw.txt.
    PasswordGeneratorDialog(QWidget* owner, const Desktop& desktop, engine::RandomSource& random,
                            const platform::Clock& clock, const engine::TextFormats& formats);
    ~PasswordGeneratorDialog() override;

    // Shows the window modally; the password "添加" handed back, or nothing
    // when it was closed otherwise.
    std::optional<QString> choosePassword();

    // Ends a generation still running, then closes.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void placeControls();
    void connectControls();
    void nameControlsForScreenReaders();

    void applyNumberBoxRule(int index);
    void applySpinnerRule(int index);
    void onEntryClicked();

    void generate();
    void showNextPassword();
    void finishGeneration();
    void add();
    void save();
    void copy();

    engine::Classes tickedClasses() const;
    QString selectionText() const;
    void updateHorizontalExtent();

    Desktop desktop_;
    const platform::Clock& clock_;
    const engine::TextFormats& formats_;
    std::optional<QString> chosen_;
    engine::PasswordGenerator generator_;
    std::optional<engine::Generation> running_;
    QTimer nextPassword_; // one password per turn of the event loop

    std::array<QLabel*, 2> numberLabels_{};
    std::array<QLineEdit*, 2> numberBoxes_{}; // length, count
    std::array<QScrollBar*, 2> spinners_{};
    QGroupBox* classGroup_ = nullptr;
    std::array<QCheckBox*, 4> classBoxes_{}; // lower, upper, digits, symbols
    PasswordList* list_ = nullptr;
    std::array<QPushButton*, 5> buttons_{};
};

} // namespace veskard::gui
