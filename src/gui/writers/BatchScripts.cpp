#include "gui/writers/BatchScripts.h"

#include "gui/desktop/Paths.h"
#include "gui/writers/FileError.h"
#include "gui/writers/SystemScript.h"
#include "platform/DirectoryLookup.h"
#include "platform/Folder.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <span>
#include <vector>

namespace veskard::gui {
namespace {

constexpr int ExtensionLength = 4; // a dot and three letters

QString absoluteName(const QString& fileName) {
    if (!QDir::isRelativePath(fileName))
        return fileName;
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(fileName));
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
        return FileError::NoBaseName;
    return file.chopped(name.size()) + baseName;
}

// The scripts go into the folder through its handle, so that they land in
// the folder made even if another user swaps its name for a link.
std::error_code writeScript(platform::Folder& folder, const SystemScript& script) {
    const std::filesystem::path name = toPath(script.name);
    Result<platform::File> file = folder.createNewFile(name, script.kind);
    if (!file)
        return file.error();
    std::error_code error = file->writeAll(std::as_bytes(std::span(script.text)));
    if (const std::error_code closing = file->close(); !error)
        error = closing;
    if (error) // no half-written script
        folder.removeFile(name);
    return error;
}

} // namespace

engine::JobStatus writeScripts(bool writeEncrypt, bool writeDecrypt, const QString& fileName,
                               const QString& program, engine::LockKind kind) {
    std::vector<ScriptAction> wanted;
    if (writeEncrypt)
        wanted.push_back(kind == engine::LockKind::Strong ? ScriptAction::EncryptStrongly
                                                          : ScriptAction::Encrypt);
    if (writeDecrypt)
        wanted.push_back(ScriptAction::Revert);
    if (wanted.empty())
        return engine::JobStatus::success();

    const QString file = absoluteName(fileName);
    const Result<QString> folderName = scriptFolderOf(file);
    if (folderName.error() == FileError::NoBaseName)
        return engine::JobStatus::failure(folderName.error(),
                                          noBaseNameNotice(QFileInfo(file).fileName()));
    if (!folderName)
        return fileFailure(folderName.error());
    // Every script is made before the folder: one that cannot be had leaves
    // nothing behind.
    std::vector<SystemScript> scripts;
    for (const ScriptAction action : wanted) {
        Result<SystemScript> script = systemScript(action, program, file);
        if (!script)
            return fileFailure(script.error());
        scripts.push_back(std::move(*script));
    }
    // A name taken by anything, a link among them, is left alone: what it
    // holds did not come from this lock, and the person is told so.
    Result<platform::Folder> folder = platform::Folder::createNew(toPath(*folderName));
    if (folder.error() == std::errc::file_exists)
        return engine::JobStatus::failure(FileError::ScriptFolderTaken,
                                          scriptFolderTakenNotice(*folderName));
    if (!folder)
        return fileFailure(folder.error());
    for (const SystemScript& script : scripts) {
        if (const std::error_code error = writeScript(*folder, script))
            return fileFailure(error);
    }
    return engine::JobStatus::success();
}

} // namespace veskard::gui
