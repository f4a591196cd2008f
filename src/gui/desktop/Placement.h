#pragma once

#include <QRect>
#include <QWidget>

namespace veskard::gui {

// Puts a control where the design has it. One whose text needs more height
// than the design gives (the desktop's font may be taller than the one the
// design was drawn with) grows evenly up and down, so that it stays centred
// on the same line.
inline void place(QWidget* control, const QRect& design) {
    QRect rect = design;
    const int needed = control->sizeHint().height();
    if (needed > design.height()) {
        rect.setTop(design.top() - (needed - design.height()) / 2);
        rect.setHeight(needed);
    }
    control->setGeometry(rect);
}

} // namespace veskard::gui
