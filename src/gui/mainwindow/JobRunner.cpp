#include "gui/mainwindow/JobRunner.h"

#include <QEventLoop>

#include <new>
#include <optional>
#include <thread>

namespace veskard::gui {
namespace {

// The engine reports its failures as values; running out of memory is the
// one thing that can still escape a step, and it must not end the program.
engine::JobStatus runGuarded(engine::JobPhase phase, const JobRunner::Step& step) {
    try {
        return step();
    } catch (const std::bad_alloc&) {
        const std::error_code cause = std::make_error_code(std::errc::not_enough_memory);
        return engine::JobStatus::failure(cause, engine::failureNotice(phase, cause));
    }
}

} // namespace

JobRunner::JobRunner(QObject* parent)
    : QObject(parent) {}

engine::JobStatus JobRunner::run(engine::JobPhase phase, const Step& step) {
    Q_ASSERT(!busy_);
    setBusy(true);
    std::optional<engine::JobStatus> status;
    QEventLoop loop;
    {
        // Joined at the end of this block: even if the loop is ended from
        // outside (the application quitting), the step is finished first.
        std::jthread worker([&] {
            status = runGuarded(phase, step);
            // Queued behind everything the step posted on its way.
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
    }
    setBusy(false);
    return *status;
}

void JobRunner::setBusy(bool busy) {
    busy_ = busy;
    emit busyChanged(busy);
}

} // namespace veskard::gui
