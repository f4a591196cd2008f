#pragma once

#include "mainwindow/FlatButton.h"
#include "mainwindow/Form1Controls.h"

#include <QWidget>

namespace veskard {

// The main window: the file to lock with its two password boxes and options,
// the operation log, the file to unlock and where it went, and the flat
// buttons that run every command. It draws and lays itself out; what the
// commands do is connected to `buttonReleased` from outside.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    const Form1Controls& controls() const { return controls_; }

    // Part of loading the window, after the command line has been read: makes
    // the picker of the file to unlock (5) and the unlock button (6) as copies
    // of button 0, beside the fields they serve. Once only.
    void createIconButtons();

signals:
    // Every flat button's `released`: a mouse button went up over button
    // `index` (already drawn), or assistive technology pressed it (NoButton).
    void buttonReleased(int index, Qt::MouseButton button);

private:
    void addFlatButton(const FlatButtonDesign& design);
    void centreOnScreen();

    FlatButtonGroup buttons_;
    Form1Controls controls_;
};

} // namespace veskard
