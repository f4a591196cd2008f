#include "app/LoadStep.h"

#include "app/CommandLine.h"
#include "gui/desktop/FileLookup.h"

namespace veskard::startup {

const QString LoadStep::NotFoundText = QStringLiteral("不存在！请检查文件的路径及文件名");
const QString LoadStep::NotAFileText =
    desktop::notAFileText() + QStringLiteral("！请检查文件的路径及文件名");

LoadStep::LoadStep(desktop::MessageBoxes& boxes, desktop::ProgramEnd& end,
                   UnattendedRun& unattended, QString settingsFile)
    : boxes_(boxes)
    , end_(end)
    , unattended_(unattended)
    , settingsFile_(std::move(settingsFile)) {}

LoadStep::Outcome LoadStep::run(const desktop::CommandLineText& commandLine, Options& options) {
    loadSettings(settingsFile_, options);

    const CommandLine line = readCommandLine(commandLine);
    const Outcome nothingDone{{}, line.switchForm ? desktop::ExitFailure : desktop::ExitSuccess};
    const auto refuse = [&](const QString& text) {
        boxes_.show(nullptr, text, desktop::Icon::Stop);
        return nothingDone;
    };
    if (!line.nameRefusal.isEmpty())
        return refuse(line.nameRefusal);
    if (!line.switchForm && line.fileName.isEmpty())
        return {};
    switch (desktop::lookUp(line.fileName)) {
    case desktop::Found::Nothing:
        return refuse(line.fileName + NotFoundText);
    case desktop::Found::NotAFile:
        return refuse(line.fileName + NotAFileText);
    case desktop::Found::File:
        break;
    }
    if (line.switchForm) {
        const int status = unattended_.run(line.switches, line.fileName);
        end_.now(status);
        return {{}, status};
    }
    return {line.fileName};
}

} // namespace veskard::startup
