#pragma once
// Window placement: the main window, the splash and the link window open
// centred on the point stored in "Window Left" / "Window Top"; dialogs open
// in the middle of the screen.
class QWidget;

namespace kelvo {

void restore_window_position(QWidget* window);
void centre_on_screen(QWidget* window);
// Stores the window's centre in "Window Left" / "Window Top".
void store_window_centre(const QWidget* window);

}  // namespace kelvo
