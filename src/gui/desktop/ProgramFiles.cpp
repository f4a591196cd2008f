#include "gui/desktop/ProgramFiles.h"

#include "gui/desktop/Paths.h"
#include "platform/SharedFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace veskard::gui {
namespace {

constexpr auto HelpFileName = "readme.txt";

// An installation puts the program into bin/ and its data beside that, in share/veskard/.
QString installedDataFolder(const QString& programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/veskard"));
}

// Trying is the only answer that holds everywhere: permission bits say
// nothing on Windows, where a folder's access list decides.
bool canCreateFilesIn(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".veskard-XXXXXX")));
    return probe.open();
}

} // namespace

ProgramFiles ProgramFiles::locate() {
    return forProgramIn(QCoreApplication::applicationDirPath(),
                        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

ProgramFiles ProgramFiles::forProgramIn(const QString& programFolder,
                                        const QString& userDataFolder) {
    ProgramFiles files;
    files.programFolder = programFolder;
    const QString dataFolder = installedDataFolder(programFolder);
    const bool installed = QFileInfo(dataFolder).isDir();

    // In a folder others may write to, they could swap a file of the
    // program's for a link to any file of the user's.
    if (!installed && !platform::othersMayWriteIn(toPath(programFolder)) &&
        canCreateFilesIn(programFolder)) {
        files.writableFolder = programFolder;
    } else {
        files.writableFolder = userDataFolder;
        QDir().mkpath(files.writableFolder);
    }

    const QString beside = QDir(programFolder).filePath(QLatin1String(HelpFileName));
    files.helpFile = QFileInfo::exists(beside) || !installed
                         ? beside
                         : QDir(dataFolder).filePath(QLatin1String(HelpFileName));
    return files;
}

QString ProgramFiles::writable(const QString& name) const {
    return QDir(writableFolder).filePath(name);
}

} // namespace veskard::gui
