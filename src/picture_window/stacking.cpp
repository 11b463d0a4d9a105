#include "picture_window/stacking.h"

#include "win32/window_position.h"

namespace pintaro {

namespace {

// A window keeps its coordinates through SetParent, which are relative to its new parent
// afterwards. Where the desktop window does not start at the screen's origin (a screen to the left
// of or above the primary one), that would make the picture jump; this puts it back where it was.
void KeepOnScreenAt(HWND hwnd, POINT screenTopLeft) noexcept {
  const POINT now = ScreenTopLeft(hwnd);
  if (now.x != screenTopLeft.x || now.y != screenTopLeft.y) MoveToScreenPoint(hwnd, screenTopLeft);
}

}  // namespace

void SetTopMost(HWND hwnd, bool topmost) noexcept {
  const POINT place = ScreenTopLeft(hwnd);
  SetParent(hwnd, nullptr);
  KeepOnScreenAt(hwnd, place);
  SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void AttachToDesktop(HWND hwnd) noexcept {
  const HWND desktop = FindWindowW(nullptr, L"Program Manager");
  if (!desktop) return;
  const POINT place = ScreenTopLeft(hwnd);
  SetParent(hwnd, desktop);
  KeepOnScreenAt(hwnd, place);
}

}  // namespace pintaro
