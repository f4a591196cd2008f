#pragma once

#include "gui/mainwindow/MainWindowPerson.h"

#include <QString>

namespace veskard::gui {

// The main window's one way of asking for a path: an open or a save dialog
// starting where `startAt` (the file box's text) points.
// Each returns the chosen path, or the empty text when the person cancelled
// or the name cannot be trusted (it is then refused with a message).
class FilePicker {
public:
    explicit FilePicker(MainWindowPerson& person)
        : person_(person) {}

    // Lists every file.
    QString pickOpen(const QString& startAt) const;

    // A dialog for a file made of `source` (the file locked, or unlocked). It
    // lists only files that end as the source's name does (its last three
    // characters), offers the source's name when the file is a visible one,
    // and a chosen path that ends otherwise gets those characters added after
    // a dot (report gives report.txt for a .txt source).
    QString pickSave(const QString& source, const QString& startAt) const;

private:
    QString checked(const QString& picked) const;

    MainWindowPerson& person_;
};

} // namespace veskard::gui
