#pragma once
// The full-screen view of one picture, and the program-wide steps around it: every other window of
// the program is hidden while it is on.
#include "picture_logic/fit.h"

namespace pintaro {

class PictureWindow;
class FullScreenView;

// Reads the window's picture file again, fitted to the primary screen on a worker, and returns at once;
// the hourglass shows until the picture comes. Then it shows it alone on black, the icon window and
// the picture windows in use hidden meanwhile, unless the window was closed or another view was asked
// for since. A file that cannot be read now says so, one that gives no picture gets the "format not
// supported" message; either way nothing is hidden.
void ShowFullScreen(PictureWindow& window);

// Ends the view: its picture is released and the icon window and every picture window in use are
// shown again. Nothing happens while the view is off.
void CloseFullScreen();

// The view's window, or null before its first use and once the end has destroyed it.
FullScreenView* TheFullScreenView() noexcept;

// Destroys the view's window if it was ever created; its object stays until the program's end.
void DestroyFullScreen() noexcept;

// The primary screen in twips, with the twips per pixel across and down.
ScreenTwips PrimaryScreenTwips() noexcept;

}  // namespace pintaro
