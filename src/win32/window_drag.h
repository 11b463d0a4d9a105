#pragma once
#include <windows.h>

namespace pintaro {

// Lets the user move a window by dragging its client area: the system's own move loop runs, as on
// a caption bar, until the left button is released.
void StartWindowDrag(HWND hwnd) noexcept;

}  // namespace pintaro
