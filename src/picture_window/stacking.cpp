#include "picture_window/stacking.h"

namespace pintaro {

namespace {

POINT ScreenTopLeft(HWND hwnd) noexcept {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return {rect.left, rect.top};
}

bool HasParent(HWND hwnd) noexcept {
  const HWND parent = GetAncestor(hwnd, GA_PARENT);
  return parent && parent != GetDesktopWindow();
}

// A window keeps its coordinates through SetParent, which are relative to its new parent
// afterwards. Where the desktop window does not start at the screen's origin (a screen to the left
// of or above the primary one), that would make the picture jump; this puts it back where it was.
void KeepOnScreenAt(HWND hwnd, POINT screenTopLeft) noexcept {
  const POINT now = ScreenTopLeft(hwnd);
  if (now.x == screenTopLeft.x && now.y == screenTopLeft.y) return;
  POINT at = screenTopLeft;
  if (HasParent(hwnd)) ScreenToClient(GetAncestor(hwnd, GA_PARENT), &at);
  SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
