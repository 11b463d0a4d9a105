#pragma once
// Stacking of windows: the topmost band and the desktop window.
#include <windows.h>

namespace pintaro {

// Where a picture window stands: among ordinary windows, always on top, or inside the desktop window.
enum class StackingMode { Normal, OnTop, OnDesktop };

// Makes the window top-level again and puts it into (or takes it out of) the topmost band, keeping
// its place on the screen and its size.
void SetTopMost(HWND hwnd, bool topmost) noexcept;

// Makes the window a child of the desktop window titled "Program Manager", when there is one,
// keeping its place on the screen. Where there is none, nothing changes.
void AttachToDesktop(HWND hwnd) noexcept;

}  // namespace pintaro
