#pragma once
// Watching the clipboard for the paste item, and the icon window's extra message handling.
#include <windows.h>

namespace pintaro {

class FrmMain;

void StartClipboardViewer(FrmMain& form) noexcept;
void StopClipboardViewer(FrmMain& form) noexcept;
// Turns the icon window's extra message handling on and off.
void HookWindow(HWND hwnd) noexcept;
void UnhookWindow(HWND hwnd) noexcept;
bool IsHooked(HWND hwnd) noexcept;

// A clipboard change reached the icon window.
void OnClipboardChange() noexcept;

}  // namespace pintaro
