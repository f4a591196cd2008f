#pragma once

#include <QString>

class QWidget;

namespace veskard::gui {

// One request for a path: an open or a save dialog with a single filter pair.
struct FileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString filterName;    // "所有文件", "TXT文件"
    QString filterPattern; // "*.*", "*.txt"
    QString initialFolder; // where the dialog starts; may name a file, or be empty
    QString suggestedName; // save mode: the name offered, or empty
    bool operator==(const FileRequest&) const = default;
};

// Every file dialog of the program goes through here, so that tests can
// choose the paths.
class FilePickers {
public:
    virtual ~FilePickers() = default;
    // The chosen full path, or the empty text when the user cancelled. The
    // save dialog asks before it lets an existing file be chosen.
    virtual QString pick(QWidget* owner, const FileRequest& request) = 0;
};

// The desktop's own dialogs.
class QtFilePickers final : public FilePickers {
public:
    QString pick(QWidget* owner, const FileRequest& request) override;
};

} // namespace veskard::gui
