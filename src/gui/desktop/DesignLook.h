#pragma once

#include <QFont>

class QDialog;
class QLineEdit;
class QWidget;

namespace veskard::gui {

// The one font of every window: a CJK sans at the size the designs were
// drawn for. Their twips measures give a line of labels 12 pixels; a CJK sans
// at 11 pixels fills such a box without clipping.
QFont designFont();

// A fixed-size dialog window as the designs draw them: the inside area given
// in twips, the design's type size, and a title bar with only the close box
// (no minimize or maximize box, no icon).
void shapeFixedDialog(QDialog& dialog, int widthTwips, int heightTwips);

// Puts a window in the middle of the screen it is on. Call it when the window
// is shown: only then is its screen known.
void centreOnScreen(QWidget& window);

// A password box: each character shows as "*", whatever the style's own mask,
// and no length is cut off.
void makePasswordBox(QLineEdit& box);

// Gives a box the focus with its whole text selected, for typing it anew.
void focusAndSelect(QLineEdit& box);

} // namespace veskard::gui
