#include "app/UnattendedRun.h"

#include "engine/DecryptJob.h"
#include "engine/EncryptJob.h"
#include "engine/FailureNotice.h"
#include "gui/desktop/Paths.h"
#include "gui/desktop/ProgramEnd.h"
#include "gui/dialogs/NewPasswordDialog.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "texts/Texts.h"

namespace veskard::app {

UnattendedRun::UnattendedRun(gui::MessageBoxes& boxes, engine::RandomSource& random,
                             const platform::Clock& clock, const engine::TextFormats& formats)
    : boxes_(boxes)
    , environment_{events_, clock, random, formats} {}

int UnattendedRun::run(const Switches& switches, const QString& fileName) {
    if (switches.encrypt && switches.decrypt) {
        boxes_.show(nullptr, QString(texts::unattended::bothSwitches), gui::Icon::Stop);
        return gui::ExitFailure;
    }
    const engine::LockKind kind =
        switches.strong ? engine::LockKind::Strong : engine::LockKind::Classic;
    return switches.encrypt ? encrypt(fileName, kind, switches.showResult)
                            : decrypt(fileName, switches.showResult);
}

// Both branches drive the jobs as the main window does, with the file itself
// as the target: in place, so that it keeps its attributes.
int UnattendedRun::encrypt(const QString& fileName, engine::LockKind kind, bool showResult) {
    const std::filesystem::path file = gui::toPath(fileName);
    engine::EncryptJob job(environment_);
    if (const engine::JobStatus loaded = job.load(file, engine::Relock::Refuse, kind); !loaded.ok())
        return refuse(loaded.notice());

    // Closed by the window system, the dialog hands back the empty password,
    // which the job refuses in its own words.
    gui::NewPasswordDialog dialog;
    const gui::NewPasswordDialog::Outcome password = dialog.ask();
    if (password.ending == gui::NewPasswordDialog::Ending::Quit)
        return gui::ExitFailure;

    const engine::JobStatus locked = job.encipherTo(file, password.password.toStdU16String());
    return locked.ok() ? succeed(locked, showResult, QString(texts::unattended::encrypted))
                       : refuse(locked.notice());
}

int UnattendedRun::decrypt(const QString& fileName, bool showResult) {
    const std::filesystem::path file = gui::toPath(fileName);
    engine::DecryptJob job(environment_);
    if (const engine::JobStatus opened = job.openEnciphered(file); !opened.ok())
        return refuse(opened.notice());

    // A strong lock's key is derived here, the dialog waiting for it.
    gui::PasswordPromptDialog dialog(
        [&](const QString& typed) {
            const Result<engine::PasswordCheck> check = job.checkPassword(typed.toStdU16String());
            if (!check) {
                refuse(engine::failureNotice(engine::JobPhase::Restore, check.error()));
                return gui::PasswordVerdict::Unknown;
            }
            return *check == engine::PasswordCheck::Right ? gui::PasswordVerdict::Right
                                                          : gui::PasswordVerdict::Wrong;
        },
        boxes_);
    if (dialog.ask().isEmpty())
        return gui::ExitFailure;

    const engine::JobStatus restored = job.restoreTo(file);
    return restored.ok() ? succeed(restored, showResult, QString(texts::unattended::decrypted))
                         : refuse(restored.notice());
}

int UnattendedRun::refuse(const std::optional<engine::Notice>& notice) {
    if (notice)
        boxes_.tell(nullptr, *notice);
    return gui::ExitFailure;
}

// What went wrong after the file was replaced is told whether or not the
// success itself is to be shown.
int UnattendedRun::succeed(const engine::JobStatus& status, bool showResult, const QString& text) {
    for (const engine::Notice& warning : status.warnings())
        boxes_.tell(nullptr, warning);
    if (showResult)
        boxes_.show(nullptr, text, gui::Icon::Exclamation);
    return gui::ExitSuccess;
}

} // namespace veskard::app
