#include "win32/window_position.h"

namespace pintaro {

POINT ScreenTopLeft(HWND hwnd) noexcept {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return {rect.left, rect.top};
}

void MoveToScreenPoint(HWND hwnd, POINT screenTopLeft) noexcept {
  POINT at = screenTopLeft;
  const HWND parent = GetAncestor(hwnd, GA_PARENT);
  if (parent && parent != GetDesktopWindow()) ScreenToClient(parent, &at);
  SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace pintaro
