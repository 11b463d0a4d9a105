#pragma once
// Stacking of windows: the topmost band and the desktop window.
#include <windows.h>

#include <vector>

#include "picture_logic/monitors.h"

namespace pintaro {

// Where a picture window stands: among ordinary windows, always on top, or inside the desktop window.
enum class StackingMode { Normal, OnTop, OnDesktop };

// Makes the window top-level again and puts it into (or takes it out of) the topmost band, keeping
// its place on the screen and its size. False, and nothing changes, when the window is inside a
// desktop window that does not answer.
bool SetTopMost(HWND hwnd, bool topmost) noexcept;

// Explorer's desktop window, titled "Program Manager"; null while there is none.
HWND FindDesktopWindow() noexcept;
// Makes the window a child of the desktop window, which has just answered, keeping its place on the
// screen.
void PinInto(HWND hwnd, HWND desktop) noexcept;
// Puts the top-level window below every other window, without activating it.
void PutAtTheBottom(HWND hwnd) noexcept;

// Whether the window lies inside another window (the desktop window), not on the screen's own.
bool InsideDesktopWindow(HWND hwnd) noexcept;
// Hides the window, which is inside the desktop window, and makes it top-level again when the desktop
// window answers within a moment; false when it does not, and the window stays inside, hidden.
bool TakeOutOfDesktop(HWND hwnd) noexcept;

// The monitors as they are now, the primary first.
std::vector<ScreenRect> CurrentMonitors();
// Where a window of that size whose top-left corner is at the point shows: there while it lies at least
// partly on a monitor, else wholly on the nearest monitor.
POINT OnAMonitor(POINT topLeft, SIZE size);

}  // namespace pintaro
