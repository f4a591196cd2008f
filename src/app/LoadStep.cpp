#include "app/LoadStep.h"

#include "app/CommandLine.h"
#include "gui/desktop/FileLookup.h"
#include "texts/Texts.h"

namespace veskard::app {

LoadStep::LoadStep(gui::MessageBoxes& boxes, gui::ProgramEnd& end, UnattendedRun& unattended,
                   QString settingsFile)
    : boxes_(boxes)
    , end_(end)
    , unattended_(unattended)
    , settingsFile_(std::move(settingsFile)) {}

LoadStep::Outcome LoadStep::run(const gui::CommandLineText& commandLine, gui::Options& options) {
    gui::loadSettings(settingsFile_, options);

    const CommandLine line = readCommandLine(commandLine);
    const Outcome nothingDone{{}, line.switchForm ? gui::ExitFailure : gui::ExitSuccess};
    const auto refuse = [&](const QString& text) {
        boxes_.show(nullptr, text, gui::Icon::Stop);
        return nothingDone;
    };
    if (!line.nameRefusal.isEmpty())
        return refuse(line.nameRefusal);
    if (!line.switchForm && line.fileName.isEmpty())
        return {};
    switch (gui::lookUp(line.fileName)) {
    case gui::Found::Nothing:
        return refuse(line.fileName + QString(texts::unattended::notFound));
    case gui::Found::NotAFile:
        return refuse(line.fileName + QString(texts::unattended::notAFile));
    case gui::Found::File:
        break;
    }
    if (line.switchForm) {
        const int status = unattended_.run(line.switches, line.fileName);
        end_.now(status);
        return {{}, status};
    }
    return {line.fileName};
}

} // namespace veskard::app
