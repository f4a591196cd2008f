#include "startup/LoadStep.h"

#include "desktop/FileLookup.h"
#include "startup/CommandLine.h"

namespace veskard::startup {

const QString LoadStep::NotFoundText = QStringLiteral("不存在！请检查文件的路径及文件名");

LoadStep::LoadStep(desktop::MessageBoxes& boxes, desktop::ProgramEnd& end,
                   UnattendedRun& unattended, QString settingsFile)
    : boxes_(boxes)
    , end_(end)
    , unattended_(unattended)
    , settingsFile_(std::move(settingsFile)) {}

QString LoadStep::run(const desktop::CommandLineText& commandLine, Options& options) {
    loadSettings(settingsFile_, options);

    const CommandLine line = readCommandLine(commandLine);
    if (!line.switchForm && line.fileName.isEmpty())
        return {};
    if (!desktop::anyFileMatches(line.fileName)) {
        boxes_.show(nullptr, line.fileName + NotFoundText, desktop::Icon::Stop);
        return {};
    }
    if (line.switchForm) {
        end_.now(unattended_.run(line.switches, line.fileName));
        return {};
    }
    return line.fileName;
}

} // namespace veskard::startup
