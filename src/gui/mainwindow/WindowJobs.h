#pragma once

#include "engine/DecryptJob.h"
#include "engine/EncryptJob.h"
#include "engine/FailureNotice.h"
#include "engine/OperationLog.h"
#include "gui/mainwindow/JobRunner.h"

#include <QObject>
#include <QString>

#include <mutex>
#include <optional>
#include <vector>

namespace veskard::gui {

// The main window's two jobs, each step run off the window's thread by a
// JobRunner. The operation log is kept here, on the window's thread, as the
// engine writes it (UTF-8, CR LF lines); logChanged tells whoever shows it.
class WindowJobs final : public QObject {
    Q_OBJECT

public:
    WindowJobs(engine::RandomSource& random, const platform::Clock& clock,
               const engine::TextFormats& formats, QObject* parent = nullptr);

    bool busy() const { return runner_.busy(); }
    const engine::OperationLog& log() const { return log_; }

    // Whether `path` holds a record already: read off the window's thread, as
    // reading a large file's piece headers from a cold disk takes a while.
    bool isEnciphered(const QString& path);
    // Replaces the log with its header (start time, file, size) and prepares
    // `source` for a lock of `kind`, locked already or not: the person was
    // asked. The elapsed time is counted from here.
    engine::JobStatus load(const QString& source, engine::LockKind kind);
    // Locks the loaded file into `target` (in place when it names the source),
    // writing the rest of the log.
    engine::JobStatus encipherTo(const QString& target, const QString& password);

    // Reads a locked file of either kind; the log is left alone.
    engine::JobStatus openEnciphered(const QString& path);
    // Whether `password` opens the file opened last: a classic record's is
    // compared at once, a strong lock's key derived off the window's thread.
    Result<engine::PasswordCheck> checkPassword(const QString& password);
    // A strong lock is restored once its password was checked right.
    engine::JobStatus restoreTo(const QString& target);

signals:
    void logChanged();
    // How much of the file being locked, or unlocked, is written and checked,
    // in whole percent; a change of the log ends it.
    void encipherProgressed(int percent);
    void restoreProgressed(int percent);
    void busyChanged(bool busy);

private:
    // What the jobs tell, on their own thread: left for the window's thread,
    // which is asked to take it unless it was asked already.
    class Forwarder final : public engine::JobEvents {
    public:
        explicit Forwarder(WindowJobs& jobs)
            : jobs_(jobs) {}
        void logChanged(const engine::LogChange& change) override;
        void progressed(const engine::ByteProgress& progress) override;

    private:
        WindowJobs& jobs_;
    };

    engine::JobStatus run(engine::JobPhase phase, const JobRunner::Step& step);
    void postNews();
    // On the window's thread: takes whatever has come and tells it once.
    void takeNews();

    // What the running step has sent that the window has not taken yet. A
    // step can send a thousand changes in a moment; the window shows them
    // once per turn of its event loop.
    struct Mailbox {
        std::mutex mutex;
        std::vector<engine::LogChange> changes;
        std::optional<int> percent; // newer than the changes
        bool posted = false;
    };

    JobRunner runner_;
    engine::JobPhase phase_ = engine::JobPhase::Action;
    engine::OperationLog log_;
    Mailbox mailbox_;
    Forwarder forwarder_{*this};
    engine::EncryptJob encrypt_;
    engine::DecryptJob decrypt_;
};

} // namespace veskard::gui
