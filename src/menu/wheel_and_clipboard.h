#pragma once
// The icon window's extra message handling: the paste item follows the clipboard, and the mouse
// wheel steps the display size of every picture window.
#include <windows.h>

namespace pintaro {

void StartClipboardWatch(HWND window) noexcept;
void StopClipboardWatch(HWND window) noexcept;
// Turns the extra handling on and off.
void StartIconWindowHandling(HWND hwnd) noexcept;
void StopIconWindowHandling(HWND hwnd) noexcept;

// For the icon window's procedure, before its own handling: a wheel turn or a clipboard change. Turns
// are summed into whole notches, each a step of the size; parts of a notch, from precision wheels and
// touchpads, wait in the sum for more the same way. One is handled at a time; one that arrives while
// another is being handled (the size change lets messages run) is passed over, and a turn so passed
// over is not summed.
void HandleIconWindowExtras(UINT message, WPARAM wParam) noexcept;

}  // namespace pintaro
