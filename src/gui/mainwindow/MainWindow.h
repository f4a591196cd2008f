#pragma once

#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "gui/desktop/Desktop.h"
#include "gui/mainwindow/FlatButton.h"
#include "gui/mainwindow/MainWindowControls.h"
#include "gui/mainwindow/Settings.h"
#include "platform/Clock.h"

#include <QWidget>

namespace veskard::gui {

class MainWindowActions;

// The main window: the file to lock with its two password boxes and options,
// the operation log, the file to unlock and where it went, and the flat
// buttons that run every command (MainWindowActions).
//
// Enter moves from the file box to the password boxes and, in the second,
// encrypts. A file dropped on the window goes into the file box. Closing the
// window tells `closed`, for the options to be kept. The hidden "&Cexit"
// button ends the program at once when it is reached (Alt+C, or Tab from the
// file box), and the window is never closed. While a job's action runs, only
// button 2 and those two ways to end take any input, and they wait until the
// action is over.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    MainWindow(const Desktop& desktop, engine::RandomSource& random, const platform::Clock& clock,
               const engine::TextFormats& formats, const Options& options,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    const MainWindowControls& controls() const { return controls_; }

    // Part of loading the window, after the command line has been read: makes
    // the picker of the file to unlock (5) and the unlock button (6) as copies
    // of button 0, beside the fields they serve. Once only.
    void createIconButtons();

    // The options as the check boxes show them.
    Options options() const;

    // The file to lock, as the command line named it.
    void setSourcePath(const QString& path);

    // The status the hidden exit ends the program with: a failure when the
    // command line asked for a job that was not done.
    void setExitStatus(int status) { exitStatus_ = status; }

signals:
    // Closed by button 2 or the close box, once any action is over.
    void closed();

    // Every flat button's `released`: a mouse button went up over button
    // `index` (already drawn), or assistive technology pressed it, or Enter
    // in the second password box asks to encrypt (both Qt::NoButton).
    void buttonReleased(int index, Qt::MouseButton button);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addFlatButton(const FlatButtonDesign& design);
    void centreOnScreen();
    void setOptions(const Options& options);
    void connectInputs();
    void selectWholeLog();
    void showBusy(bool busy);
    void endNow();

    // How the window was asked to end while an action was busy; ending the
    // program at once outranks closing the window.
    enum class Ending { None, CloseWindow, EndProgram };
    bool deferredWhileBusy(Ending ending);

    Desktop desktop_;
    FlatButtonGroup buttons_;
    MainWindowControls controls_;
    MainWindowActions* actions_ = nullptr;
    Ending pendingEnding_ = Ending::None;
    QWidget* focusBeforeBusy_ = nullptr; // a box disabled while busy had it
    int exitStatus_ = ExitSuccess;
};

} // namespace veskard::gui
