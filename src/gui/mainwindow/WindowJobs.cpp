#include "gui/mainwindow/WindowJobs.h"

#include "engine/EngineError.h"
#include "gui/desktop/Paths.h"

namespace veskard::gui {

WindowJobs::WindowJobs(engine::RandomSource& random, const platform::Clock& clock,
                       const engine::TextFormats& formats, QObject* parent)
    : QObject(parent)
    , runner_(this)
    , encrypt_({forwarder_, clock, random, formats})
    , decrypt_({forwarder_, clock, random, formats}) {
    connect(&runner_, &JobRunner::busyChanged, this, &WindowJobs::busyChanged);
}

bool WindowJobs::isEnciphered(const QString& path) {
    bool enciphered = false;
    const engine::JobStatus looked =
        run(engine::JobPhase::Load, [&enciphered, file = toPath(path)] {
            enciphered = engine::isEnciphered(file);
            return engine::JobStatus::success();
        });
    return looked.ok() && enciphered;
}

engine::JobStatus WindowJobs::load(const QString& source, engine::LockKind kind) {
    return run(engine::JobPhase::Load, [this, path = toPath(source), kind] {
        return encrypt_.load(path, engine::Relock::Allow, kind);
    });
}

engine::JobStatus WindowJobs::encipherTo(const QString& target, const QString& password) {
    return run(engine::JobPhase::Encipher,
               [this, path = toPath(target), password = password.toStdU16String()] {
                   return encrypt_.encipherTo(path, password);
               });
}

engine::JobStatus WindowJobs::openEnciphered(const QString& path) {
    return run(engine::JobPhase::OpenEnciphered,
               [this, file = toPath(path)] { return decrypt_.openEnciphered(file); });
}

Result<engine::PasswordCheck> WindowJobs::checkPassword(const QString& password) {
    const std::u16string typed = password.toStdU16String();
    const auto& opened = decrypt_.opened();
    if (!opened || opened->kind == engine::LockKind::Classic)
        return decrypt_.checkPassword(typed);
    Result<engine::PasswordCheck> check = engine::EngineError::NothingLoaded;
    const engine::JobStatus checked = run(engine::JobPhase::Restore, [&] {
        check = decrypt_.checkPassword(typed);
        return engine::JobStatus::success();
    });
    if (!checked.ok())
        return checked.cause();
    return check;
}

engine::JobStatus WindowJobs::restoreTo(const QString& target) {
    return run(engine::JobPhase::Restore,
               [this, path = toPath(target)] { return decrypt_.restoreTo(path); });
}

// Whatever the step sent last is shown before its outcome is acted on.
engine::JobStatus WindowJobs::run(engine::JobPhase phase, const JobRunner::Step& step) {
    phase_ = phase;
    const engine::JobStatus status = runner_.run(phase, step);
    takeNews();
    return status;
}

void WindowJobs::Forwarder::logChanged(const engine::LogChange& change) {
    const std::scoped_lock lock(jobs_.mailbox_.mutex);
    jobs_.mailbox_.changes.push_back(change);
    jobs_.mailbox_.percent.reset();
    jobs_.postNews();
}

void WindowJobs::Forwarder::progressed(const engine::ByteProgress& progress) {
    const std::scoped_lock lock(jobs_.mailbox_.mutex);
    jobs_.mailbox_.percent = progress.percent();
    jobs_.postNews();
}

// With the mailbox locked.
void WindowJobs::postNews() {
    if (!std::exchange(mailbox_.posted, true))
        QMetaObject::invokeMethod(this, &WindowJobs::takeNews, Qt::QueuedConnection);
}

void WindowJobs::takeNews() {
    std::vector<engine::LogChange> changes;
    std::optional<int> percent;
    {
        const std::scoped_lock lock(mailbox_.mutex);
        changes.swap(mailbox_.changes);
        percent = std::exchange(mailbox_.percent, std::nullopt);
        mailbox_.posted = false;
    }
    for (const engine::LogChange& change : changes)
        log_.apply(change);
    if (!changes.empty())
        emit logChanged();
    if (!percent)
        return;
    if (phase_ == engine::JobPhase::Encipher)
        emit encipherProgressed(*percent);
    else if (phase_ == engine::JobPhase::Restore)
        emit restoreProgressed(*percent);
}

} // namespace veskard::gui
