#pragma once

#include "engine/DecryptJob.h"
#include "engine/EncryptJob.h"
#include "engine/OperationLog.h"
#include "workflow/JobRunner.h"

#include <QObject>
#include <QString>

#include <mutex>
#include <optional>

namespace veskard::workflow {

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

    // Replaces the log with its header (start time, file, size) and plans the
    // pieces of `source`. The elapsed time is counted from here.
    engine::JobStatus load(const QString& source);
    // Locks the loaded file into `target` (in place when it names the source),
    // writing the rest of the log.
    engine::JobStatus encipherTo(const QString& target, const QString& password);

    // Reads the record of a locked file; the log is left alone.
    engine::JobStatus openEnciphered(const QString& path);
    // The password stored in the file opened last.
    QString storedPassword() const;
    engine::JobStatus restoreTo(const QString& target);

signals:
    void logChanged();
    // A step's progress, in whole percent, while it writes a file.
    void progressed(int percent);
    void busyChanged(bool busy);

private:
    engine::JobStatus run(const JobRunner::Step& step);
    // On the job's thread: leaves the news for the window's thread, and asks
    // it to take them unless it was asked already.
    void sendLog(const std::string& text);
    // On the window's thread: takes whatever has come and tells it once.
    void takeNews();

    // What the running step has sent that the window has not taken yet. A
    // step can send a thousand changes in a moment; the window shows the
    // newest once per turn of its event loop.
    struct Mailbox {
        std::mutex mutex;
        std::optional<std::string> log;
        bool posted = false;
    };

    JobRunner runner_;
    const platform::Clock& clock_;
    const engine::TextFormats& formats_;
    engine::OperationLog log_;
    // The log the jobs write into on their own thread: each change is posted
    // to the window's thread as a whole text.
    engine::OperationLog jobLog_;
    engine::EncryptJob encrypt_;
    engine::DecryptJob decrypt_;
    engine::TimePoint startTime_{};
    Mailbox mailbox_;
};

} // namespace veskard::workflow
