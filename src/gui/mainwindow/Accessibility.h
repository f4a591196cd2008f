#pragma once

namespace veskard::gui {

// Makes the main window's parts that Qt reads as something else known to
// assistive technology: the window, a plain widget, reads as a frame, its
// dividing line as a separator. (The flat buttons are Qt's own buttons.)
// Installed once, however often it is called.
void installMainWindowAccessibility();

} // namespace veskard::gui
