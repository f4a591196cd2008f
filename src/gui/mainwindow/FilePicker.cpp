#include "gui/mainwindow/FilePicker.h"

#include "gui/desktop/FileLookup.h"
#include "gui/desktop/NameText.h"
#include "texts/Texts.h"

#include <QFileInfo>

namespace veskard::gui {
namespace {

constexpr qsizetype EndingLength = 3;

QString overwriteQuestion(const QString& path) {
    return QString(texts::mainWindow::replaceExisting).arg(path);
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

QString FilePicker::pickOpen(const QString& startAt) const {
    return checked(person_.pick({.mode = FileRequest::Mode::Open,
                                 .filterName = QString(texts::mainWindow::allFiles),
                                 .filterPattern = QStringLiteral("*.*"),
                                 .initialFolder = startAt,
                                 .suggestedName = {}}));
}

QString FilePicker::pickSave(const QString& source, const QString& startAt) const {
    // The ending is taken from the name alone: a short name must not lend the
    // ending a folder separator, which added to a path would lead elsewhere.
    const QString ending = namePart(source).right(EndingLength);
    const QString chosen = checked(
        person_.pick({.mode = FileRequest::Mode::Save,
                      .filterName = QString(texts::mainWindow::filesEndingIn).arg(ending.toUpper()),
                      .filterPattern = QStringLiteral("*.") + ending,
                      .initialFolder = startAt,
                      .suggestedName = visibleFileName(source)}));
    if (chosen.isEmpty() || chosen.right(ending.size()).toUpper() == ending.toUpper())
        return chosen;

    // The dialog asked about the name it was given, not about this one.
    const QString path = chosen + u'.' + ending;
    if (QFileInfo::exists(path) &&
        person_.show(overwriteQuestion(path), Icon::Exclamation, Buttons::YesNo) != Answer::Yes)
        return {};
    return path;
}

// A dialog reads a name's bytes that are not UTF-8 as U+FFFD, and its text
// then names another file, or none: it is refused, as if nothing was chosen.
QString FilePicker::checked(const QString& picked) const {
    const NameText name = nameText(picked);
    if (!name.refusal.isEmpty())
        person_.show(name.refusal, Icon::Stop);
    return name.text;
}

} // namespace veskard::gui
