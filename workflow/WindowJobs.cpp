#include "workflow/WindowJobs.h"

#include "desktop/Paths.h"
#include "engine/EncryptLog.h"

namespace veskard::workflow {

WindowJobs::WindowJobs(engine::RandomSource& random, const platform::Clock& clock,
                       const engine::TextFormats& formats, QObject* parent)
    : QObject(parent)
    , runner_(this)
    , clock_(clock)
    , formats_(formats)
    , encrypt_({jobLog_, clock, random, formats}) {
    jobLog_.setListener([this](const std::string& text) { sendLog(text); });
    connect(&runner_, &JobRunner::busyChanged, this, &WindowJobs::busyChanged);
}

void WindowJobs::sendLog(const std::string& text) {
    const std::scoped_lock lock(mailbox_.mutex);
    mailbox_.log = text;
    if (std::exchange(mailbox_.posted, true))
        return;
    QMetaObject::invokeMethod(this, &WindowJobs::takeNews, Qt::QueuedConnection);
}

void WindowJobs::takeNews() {
    std::optional<std::string> log;
    {
        const std::scoped_lock lock(mailbox_.mutex);
        log = std::exchange(mailbox_.log, std::nullopt);
        mailbox_.posted = false;
    }
    if (log) {
        log_.replace(std::move(*log));
        emit logChanged();
    }
}

// Whatever the step sent last is shown before its outcome is acted on.
engine::JobStatus WindowJobs::run(const JobRunner::Step& step) {
    const engine::JobStatus status = runner_.run(step);
    takeNews();
    return status;
}

engine::JobStatus WindowJobs::load(const QString& source) {
    const std::filesystem::path path = desktop::toPath(source);
    std::error_code ignored;
    const std::uintmax_t size = std::filesystem::file_size(path, ignored);
    startTime_ = clock_.now();
    engine::writeEncryptHeader(jobLog_, path, size == std::uintmax_t(-1) ? 0 : size, startTime_,
                               formats_);
    return run([this, path] { return encrypt_.load(path); });
}

engine::JobStatus WindowJobs::encipherTo(const QString& target, const QString& password) {
    engine::appendPasswordLines(jobLog_);
    return run([this, path = desktop::toPath(target), password = password.toStdU16String()] {
        return encrypt_.encipherTo(path, password, startTime_);
    });
}

engine::JobStatus WindowJobs::openEnciphered(const QString& path) {
    return run([this, file = desktop::toPath(path)] { return decrypt_.openEnciphered(file); });
}

QString WindowJobs::storedPassword() const {
    const auto& opened = decrypt_.opened();
    return opened ? QString::fromStdU16String(opened->storedPassword) : QString();
}

engine::JobStatus WindowJobs::restoreTo(const QString& target) {
    return run([this, path = desktop::toPath(target)] { return decrypt_.restoreTo(path); });
}

} // namespace veskard::workflow
