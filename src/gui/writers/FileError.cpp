#include "gui/writers/FileError.h"

#include "engine/FailureNotice.h"
#include "texts/Texts.h"

#include <string>

namespace veskard::gui {
namespace {

// The descriptions are shown to the user, followed by "！    ".
class FileErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "veskard-gui-writers"; }

    std::string message(int value) const override {
        switch (static_cast<FileError>(value)) {
        case FileError::ScriptFolderTaken:
            return texts::scripts::folderExists;
        case FileError::NoBaseName:
            return texts::scripts::emptyBaseName;
        case FileError::NotAVisibleFile:
            return texts::scripts::fileNotFound;
        case FileError::NameTooShort:
            return texts::scripts::nameTooShort;
        case FileError::FileNameNotInCodePage:
            return texts::scripts::pathNotInCodePage;
        case FileError::ProgramFolderNotInCodePage:
            return texts::scripts::programPathNotInCodePage;
        case FileError::EditorNotStarted:
            return texts::scripts::editorFailed;
        }
        return texts::scripts::unknown;
    }

    // A file that cannot be looked up or named is an invalid argument to the
    // script writer, whatever the reason.
    std::error_condition default_error_condition(int value) const noexcept override {
        switch (static_cast<FileError>(value)) {
        case FileError::ScriptFolderTaken:
        case FileError::NoBaseName:
            return std::errc::file_exists;
        case FileError::NotAVisibleFile:
        case FileError::NameTooShort:
        case FileError::FileNameNotInCodePage:
        case FileError::ProgramFolderNotInCodePage:
            return std::errc::invalid_argument;
        case FileError::EditorNotStarted:
            break;
        }
        return {value, *this};
    }
};

} // namespace

const std::error_category& fileErrorCategory() {
    static const FileErrorCategory category;
    return category;
}

std::optional<engine::Notice> fileFailureNotice(std::error_code error) {
    return engine::failureNotice(engine::JobPhase::Action, error);
}

engine::JobStatus fileFailure(std::error_code error) {
    return engine::JobStatus::failure(error, fileFailureNotice(error));
}

engine::Notice scriptFolderTakenNotice(const QString& folder) {
    return {engine::Icon::Exclamation,
            QString(texts::scripts::folderTaken).arg(folder).toStdString()};
}

engine::Notice noBaseNameNotice(const QString& name) {
    return {engine::Icon::Exclamation,
            QString(texts::scripts::emptyBaseNameNotice).arg(name).toStdString()};
}

} // namespace veskard::gui
