#pragma once

#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "gui/desktop/Desktop.h"
#include "gui/mainwindow/FlatButton.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/Settings.h"
#include "platform/Clock.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace veskard::gui {

// The main window: the file to lock with its two password boxes and options,
// the operation log, the file to unlock and where it went, and the flat
// buttons that run every command. What a command does is the controller's
// (MainWindowController); the window hands it what the boxes show and shows
// what it leaves.
//
// Enter moves from the file box to the password boxes and, in the second,
// encrypts. A file dropped on the window goes into the file box. Closing the
// window tells `closed`, for the options to be kept. The hidden "&Cexit"
// button ends the program at once when it is reached (Alt+C, or Tab from the
// file box), and the window is never closed. While a job's action runs, only
// 关闭 and those two ways to end take any input, and they wait until the
// action is over.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    MainWindow(const Desktop& desktop, engine::RandomSource& random, const platform::Clock& clock,
               const engine::TextFormats& formats, const Options& options,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Part of loading the window, after the command line has been read: makes
    // the picker of the file to unlock and the unlock button as copies of the
    // picker of the file to lock, beside the fields they serve. Once only.
    void createIconButtons();

    // The options as the check boxes show them.
    Options options() const;

    // The file to lock, as the command line named it.
    void setSourcePath(const QString& path);

    // The status the hidden exit ends the program with: a failure when the
    // command line asked for a job that was not done.
    void setExitStatus(int status) { exitStatus_ = status; }

signals:
    // Closed by 关闭 or the close box, once any action is over.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Person;
    using Action = ActionOutcome (MainWindowController::*)(MainWindowState);

    // A flat button that runs `action`, a member of the window.
    template <typename Slot> FlatButton* addFlatButton(const FlatButtonDesign& design, Slot action);
    void centreOnScreen();
    void setOptions(const Options& options);
    void connectInputs();

    // What the buttons, and Enter in the second password box, run.
    void pickSourceFile();
    void encrypt();
    void generatePassword();
    void saveReport();
    void pickLockedFile();
    void decrypt();
    void about();

    // Runs the controller's `action` on what the boxes show, unless another
    // is busy, and shows what it leaves.
    void run(Action action);
    MainWindowState state() const;
    void showOutcome(const ActionOutcome& outcome);

    void selectWholeLog();
    void showBusy(bool busy);
    void endNow();

    // How the window was asked to end while an action was busy; ending the
    // program at once outranks closing the window.
    enum class Ending { None, CloseWindow, EndProgram };
    bool deferredWhileBusy(Ending ending);

    Desktop desktop_;
    FlatButtonGroup buttons_;
    std::unique_ptr<Person> person_;
    MainWindowController controller_;

    QLineEdit* sourcePathEdit_ = nullptr;      // "Label3"
    QLineEdit* passwordEdit_ = nullptr;        // "Text2"
    QLineEdit* confirmPasswordEdit_ = nullptr; // "Text3"
    QCheckBox* keepOriginalCheck_ = nullptr;   // "Check1"
    QCheckBox* encryptScriptCheck_ = nullptr;  // "Check2"
    QCheckBox* decryptScriptCheck_ = nullptr;  // "Check3"
    QCheckBox* strongLockCheck_ = nullptr;     // "Check4"
    QPlainTextEdit* logView_ = nullptr;        // "info", read-only
    QLabel* lockedPathLabel_ = nullptr;        // "Label7"
    QLineEdit* restoredPathEdit_ = nullptr;    // "Text5", read-only
    QPushButton* hiddenExitButton_ = nullptr;  // "Command1": "&Cexit", covered by 关闭
    FlatButton* sourcePicker_ = nullptr;       // copied for the two icon buttons made later
    FlatButton* encryptButton_ = nullptr;
    FlatButton* closeButton_ = nullptr; // the one that works while busy

    bool busy_ = false; // from a job's start to the end of its action
    Ending pendingEnding_ = Ending::None;
    QWidget* focusBeforeBusy_ = nullptr; // a box disabled while busy had it
    int exitStatus_ = ExitSuccess;
};

} // namespace veskard::gui
