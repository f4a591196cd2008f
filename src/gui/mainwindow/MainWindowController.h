#pragma once

#include "engine/Notice.h"
#include "gui/desktop/FileLookup.h"
#include "gui/mainwindow/FilePicker.h"
#include "gui/mainwindow/MainWindowPerson.h"
#include "gui/mainwindow/Settings.h"
#include "gui/mainwindow/WindowJobs.h"

#include <QObject>
#include <QString>

#include <optional>

namespace veskard::gui {

// What the main window's boxes show: what its actions read, and leave.
struct MainWindowState {
    QString sourcePath{};   // "Label3": the file to lock
    QString password{};     // "Text2"
    QString confirmation{}; // "Text3": the password again
    Options options{};      // "Check1" to "Check4"
    QString lockedPath{};   // "Label7": the locked file chosen for unlocking
    QString restoredPath{}; // "Text5": where the last unlocked file went
    bool operator==(const MainWindowState&) const = default;
};

// The box an action hands the focus to, its whole text selected for typing anew.
enum class FocusBox { None, Password, Confirmation };

// What an action leaves: what the boxes show, and where the focus goes.
struct ActionOutcome {
    MainWindowState state;
    FocusBox focus = FocusBox::None;
    bool operator==(const ActionOutcome&) const = default;
};

// Why a lock does not start, and the box to type again.
struct Refusal {
    engine::Notice notice;
    FocusBox focus = FocusBox::None;
    bool operator==(const Refusal&) const = default;
};

// The checks before a lock of `kind` reads anything, in their order: no file
// chosen, no password, a confirmation that differs, a password longer than a
// record holds (a classic lock's only), a path that ends as a folder does,
// and what the path names (`found`) when that is nothing or no file. The
// first that fails, or nothing.
std::optional<Refusal> encryptRefusal(const QString& source, const QString& password,
                                      const QString& confirmation, engine::LockKind kind,
                                      Found found);

// What the main window's buttons do, without the window: each action takes
// what the boxes show and returns what they show afterwards, asking and
// telling the person on the way, and runs the jobs off the window's thread.
// The boxes keep their contents unless an action succeeded.
class MainWindowController final : public QObject {
    Q_OBJECT

public:
    MainWindowController(MainWindowPerson& person, engine::RandomSource& random,
                         const platform::Clock& clock, const engine::TextFormats& formats,
                         QObject* parent = nullptr);

    ActionOutcome pickSource(MainWindowState state);
    // Locks the file in place, or into another file with "保存原文件副本",
    // strongly with "强加密", then writes the scripts asked for, the one that
    // locks again of the same kind; the boxes are emptied once all is done.
    ActionOutcome encrypt(MainWindowState state);
    ActionOutcome generatePassword(MainWindowState state);
    ActionOutcome saveReport(MainWindowState state);
    // Reads the record of the locked file chosen, unless it is the one read last.
    ActionOutcome pickLocked(MainWindowState state);
    // Unlocks it, of either kind, in place or into another file, and offers
    // to open the result.
    ActionOutcome decrypt(MainWindowState state);

signals:
    // A job started: the action that runs it is busy until it returns.
    void jobStarted();
    // What the log box shows: the log, and while a file is locked the
    // percentage written after its last line.
    void logShown(const QString& text);
    // The boxes of the unlocked file and of the locked one before the unlock
    // is over: its progress, the file unlocked, and the choice used up.
    void restoredPathShown(const QString& text);
    void lockedPathShown(const QString& text);

private:
    QString shownLog(const QString& writingProgress) const;
    // Whether `typed` opens the file chosen; a check that failed is told.
    PasswordVerdict checkPassword(const QString& typed);
    // Tells the person what stopped a step; false when it failed.
    bool succeeded(const engine::JobStatus& status);

    MainWindowPerson& person_;
    WindowJobs jobs_;
    FilePicker picker_;
};

} // namespace veskard::gui
