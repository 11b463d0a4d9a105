#pragma once
// Moving a window to a place on the screen, whether it is a top-level window or the child of another
// window (a picture pinned into the desktop window), whose own coordinates start at its parent's corner.
#include <windows.h>

namespace pintaro {

POINT ScreenTopLeft(HWND hwnd) noexcept;
SIZE WindowSize(HWND hwnd) noexcept;

// Moves the window's top-left corner to the screen point, keeping its size and its place in the
// window order.
void MoveToScreenPoint(HWND hwnd, POINT screenTopLeft) noexcept;
// Moves and sizes the window in one step, keeping its place in the window order; a window already there
// is left alone.
void PlaceAtScreenPoint(HWND hwnd, POINT screenTopLeft, SIZE size) noexcept;

}  // namespace pintaro
