#pragma once

namespace veskard::gui {

// Makes the main window's home-made parts known to assistive technology: the
// window reads as a frame, its dividing line as a separator, each flat button
// as a push button with a name and a press action. Installed once, however often it is called.
void installMainWindowAccessibility();

} // namespace veskard::gui
