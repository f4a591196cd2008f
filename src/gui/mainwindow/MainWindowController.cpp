#include "gui/mainwindow/MainWindowController.h"

#include "engine/FailureNotice.h"
#include "engine/PasswordCodes.h"
#include "gui/writers/BatchScripts.h"
#include "platform/FileAttributes.h"
#include "texts/Texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace veskard::gui {
namespace {

// A path that ends as a folder or a drive does names no file.
bool namesAFolder(const QString& path) {
#ifdef Q_OS_WIN
    return path.endsWith(u'\\') || path.endsWith(u'/') || path.endsWith(u':');
#else
    return path.endsWith(u'/');
#endif
}

bool isHidden(const QString& path) {
    const auto attributes = platform::readAttributes(toPath(path));
    return attributes && attributes->has(platform::FileAttribute::Hidden);
}

// A greyed option (kept from the settings file) is not clear, so it counts.
bool ticked(CheckValue option) {
    return option != CheckValue::Unticked;
}

Refusal stop(std::string text, FocusBox focus = FocusBox::None) {
    return {{Icon::Stop, std::move(text)}, focus};
}

} // namespace

std::optional<Refusal> encryptRefusal(const QString& source, const QString& password,
                                      const QString& confirmation, engine::LockKind kind,
                                      Found found) {
    if (source.isEmpty())
        return stop(texts::mainWindow::noSourceChosen);
    if (password.isEmpty())
        return stop(texts::notices::emptyPassword, FocusBox::Password);
    if (password != confirmation)
        return stop(texts::mainWindow::confirmationDiffers, FocusBox::Confirmation);
    // Longer than a record holds: refused in the engine's words, before the log
    // starts. A strong lock takes more than a password box holds.
    if (kind == engine::LockKind::Classic) {
        if (const auto codes = engine::encodePassword(password.toStdU16String()); !codes)
            return Refusal{*engine::failureNotice(engine::JobPhase::Encipher, codes.error()),
                           FocusBox::Password};
    }
    if (namesAFolder(source))
        return stop(texts::mainWindow::noFileFound);
    switch (found) {
    case Found::Nothing:
        return stop(texts::filled(texts::mainWindow::sourceMissing, source.toStdString()));
    case Found::NotAFile:
        return stop(texts::filled(texts::mainWindow::sourceNotAFile, source.toStdString()));
    case Found::File:
        break;
    }
    return std::nullopt;
}

void MainWindowPerson::tell(const engine::Notice& notice) {
    show(QString::fromStdString(notice.text), notice.icon);
}

MainWindowController::MainWindowController(MainWindowPerson& person, engine::RandomSource& random,
                                           const platform::Clock& clock,
                                           const engine::TextFormats& formats, QObject* parent)
    : QObject(parent)
    , person_(person)
    , jobs_(random, clock, formats, this)
    , picker_(person) {
    connect(&jobs_, &WindowJobs::logChanged, this, [this] { emit logShown(shownLog({})); });
    connect(&jobs_, &WindowJobs::encipherProgressed, this,
            [this](int percent) { emit logShown(shownLog(QString::number(percent) + u'%')); });
    connect(&jobs_, &WindowJobs::restoreProgressed, this, [this](int percent) {
        emit restoredPathShown(QString(texts::mainWindow::unlockProgress).arg(percent));
    });
    connect(&jobs_, &WindowJobs::busyChanged, this, [this](bool jobRuns) {
        if (jobRuns)
            emit jobStarted();
    });
}

ActionOutcome MainWindowController::pickSource(MainWindowState state) {
    state.sourcePath = picker_.pickOpen(state.sourcePath);
    return {state};
}

ActionOutcome MainWindowController::encrypt(MainWindowState state) {
    const QString source = state.sourcePath;
    const engine::LockKind kind =
        ticked(state.options.strongLock) ? engine::LockKind::Strong : engine::LockKind::Classic;
    if (const std::optional<Refusal> refusal =
            encryptRefusal(source, state.password, state.confirmation, kind, lookUp(source))) {
        person_.tell(refusal->notice);
        return {state, refusal->focus};
    }
    // Locked again, the file would come back from its first unlock still locked.
    if (jobs_.isEnciphered(source) &&
        person_.show(QString(texts::mainWindow::lockAgain), Icon::Question,
                     Buttons::YesNoDefaultNo) != Answer::Yes)
        return {state};

    QString target = source;
    if (ticked(state.options.keepOriginal)) {
        target = picker_.pickSave(source, source);
        if (target.isEmpty())
            return {state};
    }
    if (!succeeded(jobs_.load(source, kind)) ||
        !succeeded(jobs_.encipherTo(target, state.password)) ||
        !succeeded(writeScripts(ticked(state.options.writeEncryptScript),
                                ticked(state.options.writeDecryptScript), target,
                                QCoreApplication::applicationFilePath(), kind)))
        return {state};
    state.sourcePath.clear();
    state.password.clear();
    state.confirmation.clear();
    return {state};
}

ActionOutcome MainWindowController::generatePassword(MainWindowState state) {
    if (const std::optional<QString> chosen = person_.generatePassword()) {
        state.password = *chosen;
        state.confirmation = *chosen;
    }
    return {state};
}

ActionOutcome MainWindowController::saveReport(MainWindowState state) {
    const std::string& log = jobs_.log().text();
    if (log.empty())
        person_.show(QString(texts::mainWindow::noReport), Icon::Stop);
    else
        succeeded(person_.saveReport(QString::fromStdString(log)));
    return {state};
}

ActionOutcome MainWindowController::pickLocked(MainWindowState state) {
    const QString path = picker_.pickOpen(state.sourcePath);
    if (!path.isEmpty() && path != state.lockedPath && succeeded(jobs_.openEnciphered(path)))
        state.lockedPath = path;
    return {state};
}

ActionOutcome MainWindowController::decrypt(MainWindowState state) {
    const QString chosen = state.lockedPath;
    if (chosen.isEmpty()) {
        person_.show(QString(texts::mainWindow::chooseFileToUnlock), Icon::Exclamation);
        return {state};
    }
    const bool inPlace =
        person_.show(QString(texts::mainWindow::unlockDirectly).arg(visibleFileName(chosen)),
                     Icon::Exclamation, Buttons::YesNo) == Answer::Yes;

    // Asked on every attempt: nothing accepted earlier, perhaps for another
    // file, is kept to unlock this one.
    if (person_.askPassword([this](const QString& typed) { return checkPassword(typed); })
            .isEmpty())
        return {state};

    QString target = chosen;
    if (!inPlace) {
        target = picker_.pickSave(chosen, state.sourcePath);
        if (target.isEmpty())
            return {state};
    }
    if (!succeeded(jobs_.restoreTo(target)))
        return {state};
    state.restoredPath = target;
    emit restoredPathShown(target); // while the person is asked
    const bool open = person_.show(QString(texts::mainWindow::unlockedOpenIt).arg(target),
                                   Icon::Question, Buttons::YesNo) == Answer::Yes;
    state.lockedPath.clear();
    emit lockedPathShown({});

    // A hidden file is not handed to other programs; the person is told where
    // to open it instead.
    if (open && !visibleFileName(target).isEmpty())
        person_.open(QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath()));
    if (isHidden(target))
        person_.show(QString(texts::mainWindow::hiddenCannotOpen), Icon::None);
    return {state};
}

// The log box shows the log as lines; a file being written adds its
// percentage to the last one until the next line comes.
QString MainWindowController::shownLog(const QString& writingProgress) const {
    return QString::fromStdString(jobs_.log().text()) + writingProgress;
}

PasswordVerdict MainWindowController::checkPassword(const QString& typed) {
    const Result<engine::PasswordCheck> check = jobs_.checkPassword(typed);
    if (!check) {
        succeeded(engine::JobStatus::failure(
            check.error(), engine::failureNotice(engine::JobPhase::Restore, check.error())));
        return PasswordVerdict::Unknown;
    }
    return *check == engine::PasswordCheck::Right ? PasswordVerdict::Right : PasswordVerdict::Wrong;
}

// A success may still have something to tell: what went wrong after the file
// was replaced, or what was left out of it.
bool MainWindowController::succeeded(const engine::JobStatus& status) {
    if (!status.ok() && status.notice())
        person_.tell(*status.notice());
    for (const engine::Notice& warning : status.warnings())
        person_.tell(warning);
    return status.ok();
}

} // namespace veskard::gui
