#include "startup/BatchScripts.h"

#include "desktop/Paths.h"
#include "platform/DirectoryLookup.h"
#include "platform/File.h"
#include "startup/FileError.h"
#include "startup/SystemScript.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <span>
#include <vector>

namespace veskard::startup {
namespace {

constexpr int ExtensionLength = 4; // a dot and three letters

using desktop::toPath;

QString absoluteName(const QString& FileName) {
    if (!QDir::isRelativePath(FileName))
        return FileName;
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(FileName));
}

// The folder named after the file, beside it. A longer extension leaves part
// of itself in the name: report.docx gives "report.".
Result<QString> scriptFolderOf(const QString& file) {
    // The lookup only decides whether the file is a plain, visible one; the
    // name comes from the path itself, so that a name holding * or ? (possible
    // on POSIX) is never mistaken for another file it matches.
    if (!platform::findFirstFile(toPath(file), platform::LookupMask::Normal))
        return FileError::NotAVisibleFile;
    const QString name = QFileInfo(file).fileName();
    if (name.size() < ExtensionLength)
        return FileError::NameTooShort;
    const QString baseName = name.chopped(ExtensionLength);
    if (baseName.isEmpty())
        return FileError::ScriptFolderTaken;
    return file.chopped(name.size()) + baseName;
}

std::error_code createFolder(const QString& folder) {
    std::error_code error;
    if (std::filesystem::create_directory(toPath(folder), error))
        return {};
    // A file of that name takes the place as much as a folder does.
    if (!error || error == std::errc::file_exists)
        return FileError::ScriptFolderTaken;
    return error;
}

// The new file has 0666 less the umask. Execution goes wherever reading does
// and writing stays the owner's, which makes it 0755 less the same umask.
std::error_code allowExecution(const std::filesystem::path& path) {
    std::error_code error;
    const auto created =
        static_cast<unsigned>(std::filesystem::status(path, error).permissions()) & 0777u;
    if (error)
        return error;
    const unsigned mode = (created & 0644u) | ((created & 0444u) >> 2);
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode),
                                 std::filesystem::perm_options::replace, error);
    return error;
}

std::error_code writeScript(const std::filesystem::path& path, const SystemScript& script) {
    Result<platform::File> file = platform::File::createNew(path);
    if (!file)
        return file.error();
    std::error_code error = file->writeAll(std::as_bytes(std::span(script.text)));
    if (const std::error_code closing = file->close(); !error)
        error = closing;
    if (!error && script.executable)
        error = allowExecution(path);
    if (error) { // no half-written script
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    return error;
}

} // namespace

engine::JobStatus MakeBatFile(bool MakeEncrypt, bool MakeRevert, const QString& FileName,
                              const QString& program) {
    std::vector<ScriptAction> wanted;
    if (MakeEncrypt)
        wanted.push_back(ScriptAction::Encrypt);
    if (MakeRevert)
        wanted.push_back(ScriptAction::Revert);
    if (wanted.empty())
        return engine::JobStatus::success();

    const QString file = absoluteName(FileName);
    const Result<QString> folder = scriptFolderOf(file);
    if (!folder)
        return fileFailure(folder.error());
    if (const std::error_code error = createFolder(*folder))
        return fileFailure(error);
    for (const ScriptAction action : wanted) {
        const SystemScript script = systemScript(action, program, file);
        if (const std::error_code error =
                writeScript(toPath(*folder) / toPath(script.name), script))
            return fileFailure(error);
    }
    return engine::JobStatus::success();
}

} // namespace veskard::startup
