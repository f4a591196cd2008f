#pragma once

#include "gui/desktop/Desktop.h"
#include "gui/mainwindow/FilePicker.h"
#include "gui/mainwindow/WindowJobs.h"

#include <QObject>

class QWidget;

namespace veskard::gui {

struct MainWindowControls;

// What the main window's eight flat buttons do, by index: 0 picks the file to
// encrypt, 1 encrypts it, 2 closes the window, 3 shows About, 4 saves the
// report, 5 picks a locked file, 6 decrypts it, 7 opens the password
// generator. Each action checks its inputs in a fixed order and says what
// stopped it; the boxes keep their contents unless it succeeded.
//
// The jobs run off the window's thread. From the start of a job to the end of
// the action it belongs to, the actions are busy: only closing (2) gets
// through, and the window waits for the end before it closes.
class MainWindowActions final : public QObject {
    Q_OBJECT

public:
    MainWindowActions(QWidget& window, const MainWindowControls& controls, const Desktop& desktop,
                      engine::RandomSource& random, const platform::Clock& clock,
                      const engine::TextFormats& formats);

    bool busy() const { return busy_; }

    // A flat button was released with `button` (the right one does nothing;
    // Qt::NoButton comes from the keyboard and assistive technology).
    void buttonReleased(int index, Qt::MouseButton button);

signals:
    // True when a job starts; false once the whole action that ran it is
    // over, whatever its outcome (a lock is two jobs, with checks between).
    void busyChanged(bool busy);

private:
    void run(int index);
    void pickFileToEncrypt();
    void encrypt();
    void saveReport();
    void chooseEnciphered();
    void decrypt();

    void showLog();
    // Tells the person what stopped a step; false when it failed.
    bool succeeded(const engine::JobStatus& status);
    void refuse(const QString& text);
    void setBusy(bool busy);

    QWidget& window_;
    const MainWindowControls& controls_;
    Desktop desktop_;
    engine::RandomSource& random_;
    const platform::Clock& clock_;
    const engine::TextFormats& formats_;
    WindowJobs jobs_;
    FilePicker picker_;
    OpKind opKind_ = OpKind::None;
    bool busy_ = false;
    QString writingProgress_; // shown after the log's last line while a file is written
};

} // namespace veskard::gui
