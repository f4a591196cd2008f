#include "gui/mainwindow/FilePicker.h"

#include "gui/desktop/FileLookup.h"
#include "gui/desktop/NameText.h"
#include "gui/mainwindow/MainWindowControls.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace veskard::gui {
namespace {

constexpr qsizetype EndingLength = 3;

QString overwriteQuestion(const QString& path) {
    return QStringLiteral("“%1”已存在。\n要替换它吗？").arg(path);
}

// The name of a path, after its last folder separator.
QString namePart(const QString& path) {
#ifdef Q_OS_WIN
    const qsizetype separator =
        std::max({path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'), path.lastIndexOf(u':')});
#else
    const qsizetype separator = path.lastIndexOf(u'/');
#endif
    return path.mid(separator + 1);
}

} // namespace

FilePicker::FilePicker(QWidget& owner, const MainWindowControls& controls, FilePickers& pickers,
                       MessageBoxes& boxes)
    : owner_(owner)
    , controls_(controls)
    , pickers_(pickers)
    , boxes_(boxes) {}

QString FilePicker::pickFile(PickMode mode, OpKind opKind) const {
    if (mode == PickMode::Save)
        return save(opKind);
    return checked(pickers_.pick(&owner_, {.mode = FileRequest::Mode::Open,
                                           .filterName = QStringLiteral("所有文件"),
                                           .filterPattern = QStringLiteral("*.*"),
                                           .initialFolder = controls_.sourcePathEdit->text(),
                                           .suggestedName = {}}));
}

QString FilePicker::save(OpKind opKind) const {
    const QString source = opKind == OpKind::Encrypt ? controls_.sourcePathEdit->text()
                                                     : controls_.lockedPathLabel->text();
    // The ending is taken from the name alone: a short name must not lend the
    // ending a folder separator, which added to a path would lead elsewhere.
    const QString ending = namePart(source).right(EndingLength);
    const QString chosen =
        checked(pickers_.pick(&owner_, {.mode = FileRequest::Mode::Save,
                                        .filterName = ending.toUpper() + QStringLiteral("文件"),
                                        .filterPattern = QStringLiteral("*.") + ending,
                                        .initialFolder = controls_.sourcePathEdit->text(),
                                        .suggestedName = visibleFileName(source)}));
    if (chosen.isEmpty() || chosen.right(ending.size()).toUpper() == ending.toUpper())
        return chosen;

    // The dialog asked about the name it was given, not about this one.
    const QString path = chosen + u'.' + ending;
    if (QFileInfo::exists(path) && boxes_.show(&owner_, overwriteQuestion(path), Icon::Exclamation,
                                               Buttons::YesNo) != Answer::Yes)
        return {};
    return path;
}

// A dialog reads a name's bytes that are not UTF-8 as U+FFFD, and its text
// then names another file, or none: it is refused, as if nothing was chosen.
QString FilePicker::checked(const QString& picked) const {
    const NameText name = nameText(picked);
    if (!name.refusal.isEmpty())
        boxes_.show(&owner_, name.refusal, Icon::Stop);
    return name.text;
}

} // namespace veskard::gui
