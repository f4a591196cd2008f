#pragma once

#include "engine/JobStatus.h"
#include "gui/desktop/FilePickers.h"
#include "gui/desktop/MessageBoxes.h"
#include "gui/dialogs/PasswordChecker.h"

#include <QString>

#include <optional>

namespace veskard::gui {

// MainWindowController's one way to the person: the window answers with its
// message boxes and dialogs, modal over it; a test answers from a script.
class MainWindowPerson {
public:
    virtual ~MainWindowPerson() = default;
    virtual Answer show(const QString& text, Icon icon, Buttons buttons = Buttons::Ok) = 0;
    // A file dialog: the path chosen, or the empty text.
    virtual QString pick(const FileRequest& request) = 0;
    // The enter-password dialog, `check` telling whether a password opens
    // the file: the password accepted, or the empty text when none was.
    virtual QString askPassword(const PasswordChecker& check) = 0;
    // The password generator: the password it handed back, if any.
    virtual std::optional<QString> generatePassword() = 0;
    // Hands a file to the program the system opens it with.
    virtual void open(const QString& absolutePath) = 0;
    // Adds `log` to the report file and shows it.
    virtual engine::JobStatus saveReport(const QString& log) = 0;

    void tell(const engine::Notice& notice);
};

} // namespace veskard::gui
