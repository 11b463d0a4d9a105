#pragma once
// Watching the clipboard for the paste item, and the icon window's extra message handling.
#include <windows.h>

namespace pintaro {

class IconWindow;

void StartClipboardWatch(IconWindow& form) noexcept;
void StopClipboardWatch(IconWindow& form) noexcept;
// Turns the icon window's extra message handling on and off.
void StartIconWindowHandling(HWND hwnd) noexcept;
void StopIconWindowHandling(HWND hwnd) noexcept;
bool IconWindowHandlingOn(HWND hwnd) noexcept;

// A clipboard change reached the icon window.
void OnClipboardChange() noexcept;

}  // namespace pintaro
