#include "desktop/ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace veskard::desktop {
namespace {

constexpr auto HelpFileName = "readme.txt";

// An installation puts the program into bin/ and its data beside that, in share/veskard/.
QString installedDataFolder(const QString& programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/veskard"));
}

} // namespace

ProgramFiles ProgramFiles::locate() {
    ProgramFiles files;
    files.programFolder = QCoreApplication::applicationDirPath();
    const QString dataFolder = installedDataFolder(files.programFolder);
    const bool installed = QFileInfo(dataFolder).isDir();

    if (!installed && QFileInfo(files.programFolder).isWritable()) {
        files.writableFolder = files.programFolder;
    } else {
        files.writableFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(files.writableFolder);
    }

    const QString beside = QDir(files.programFolder).filePath(QLatin1String(HelpFileName));
    files.helpFile = QFileInfo::exists(beside) || !installed
                         ? beside
                         : QDir(dataFolder).filePath(QLatin1String(HelpFileName));
    return files;
}

QString ProgramFiles::writable(const QString& name) const {
    return QDir(writableFolder).filePath(name);
}

} // namespace veskard::desktop
