#pragma once

class QDialog;
class QLineEdit;
class QWidget;

namespace veskard::desktop {

// The type size the windows were designed for: 9 points, the system font's
// size on a Chinese desktop. Their twips measures fit texts of that size.
inline constexpr int DesignPointSize = 9;

// A fixed-size dialog window as the designs draw them: the inside area given
// in twips, the design's type size, and a title bar with only the close box
// (no minimize or maximize box, no icon).
void shapeFixedDialog(QDialog& dialog, int widthTwips, int heightTwips);

// Puts a window in the middle of the screen it is on. Call it when the window
// is shown: only then is its screen known.
void centreOnScreen(QWidget& window);

// A password box: each character shows as "*", whatever the style's own mask.
void makePasswordBox(QLineEdit& box);

// Gives a box the focus with its whole text selected, for typing it anew.
void focusAndSelect(QLineEdit& box);

} // namespace veskard::desktop
