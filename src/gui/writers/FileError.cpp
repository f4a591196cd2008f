#include "gui/writers/FileError.h"

#include "engine/FailureNotice.h"

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
            return "批处理文件的文件夹已存在";
        case FileError::NoBaseName:
            return "文件名去掉最后四个字符后为空";
        case FileError::NotAVisibleFile:
            return "找不到该文件，或者它是隐藏文件或系统文件";
        case FileError::NameTooShort:
            return "文件名不足四个字符";
        case FileError::FileNameNotInCodePage:
            return "文件的路径中有当前代码页无法表示的字符，无法生成批处理文件";
        case FileError::ProgramFolderNotInCodePage:
            return "程序所在文件夹的路径中有当前代码页无法表示的字符，无法生成批处理文件";
        case FileError::EditorNotStarted:
            return "无法启动文本编辑器";
        }
        return "未知错误";
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
    return {
        engine::Icon::Exclamation,
        QStringLiteral("文件夹“%1”已经存在，没有在其中生成批处理文件。").arg(folder).toStdString()};
}

engine::Notice noBaseNameNotice(const QString& name) {
    return {engine::Icon::Exclamation,
            QStringLiteral("文件名“%1”去掉最后四个字符后为空，没有生成批处理文件。")
                .arg(name)
                .toStdString()};
}

} // namespace veskard::gui
