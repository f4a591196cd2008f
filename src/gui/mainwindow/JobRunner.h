#pragma once

#include "engine/FailureNotice.h"
#include "engine/JobStatus.h"

#include <QObject>

#include <functional>

namespace veskard::gui {

// Runs one step of a job on a thread of its own and waits for it in a local
// event loop, so that the window goes on repainting and taking input while the
// caller's code still reads top to bottom. Whatever the step posts to the
// window's thread arrives before run() returns.
//
// The loop lets every other event in: callers guard what must not start again
// while busy().
class JobRunner final : public QObject {
    Q_OBJECT

public:
    using Step = std::function<engine::JobStatus()>;

    explicit JobRunner(QObject* parent = nullptr);

    bool busy() const { return busy_; }

    // One step at a time: not to be called while busy(). A step that runs
    // out of memory fails as `phase` words it.
    engine::JobStatus run(engine::JobPhase phase, const Step& step);

signals:
    void busyChanged(bool busy);

private:
    void setBusy(bool busy);

    bool busy_ = false;
};

} // namespace veskard::gui
