#pragma once

#include "gui/desktop/Desktop.h"
#include "platform/RegisteredOwner.h"

#include <QDialog>

namespace veskard::gui {

// The About window: the program's name, version and system, whom the system
// is registered to, a short description, and the ways to the help file and
// the home page.
class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    AboutDialog(QWidget* owner, const Desktop& desktop,
                const platform::RegisteredOwner& registered);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void openHomePage();

    Desktop desktop_;
};

// Shows the About window modally, centred on the screen, and returns when it
// closes. Each opening reads the registered owner afresh.
void showAbout(QWidget* owner, const Desktop& desktop);

} // namespace veskard::gui
