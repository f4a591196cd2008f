#pragma once

#include "app/CommandLine.h"
#include "engine/JobEnvironment.h"
#include "engine/JobStatus.h"
#include "engine/LockKind.h"
#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "gui/desktop/MessageBoxes.h"
#include "platform/Clock.h"

namespace veskard::app {

// Locks or unlocks one named file in place without the main window, as
// "Veskard /e/s FILE" and "Veskard /r/s FILE" ask ("/e/k/s": a strong lock;
// unlocking takes either kind): only the password dialog and the messages are
// shown. The caller ends the program with the exit status.
class UnattendedRun {
public:
    UnattendedRun(gui::MessageBoxes& boxes, engine::RandomSource& random,
                  const platform::Clock& clock, const engine::TextFormats& formats);

    // Runs on `fileName`, which exists. Returns ExitSuccess when the file was
    // locked or unlocked, ExitFailure when that was refused, failed or was
    // cancelled (the set-password dialog's Close ends the run at once, without
    // a word). The file keeps its attributes; "set.ini" is not touched.
    int run(const Switches& switches, const QString& fileName);

private:
    int encrypt(const QString& fileName, engine::LockKind kind, bool showResult);
    int decrypt(const QString& fileName, bool showResult);
    int refuse(const std::optional<engine::Notice>& notice);
    int succeed(const engine::JobStatus& status, bool showResult, const QString& text);

    gui::MessageBoxes& boxes_;
    engine::UnwatchedJob events_;
    engine::JobEnvironment environment_;
};

} // namespace veskard::app
