#include "win32/window_position.h"

namespace pintaro {

POINT ScreenTopLeft(HWND hwnd) noexcept {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return {rect.left, rect.top};
}

SIZE WindowSize(HWND hwnd) noexcept {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

namespace {
POINT InParentOf(HWND hwnd, POINT screenPoint) noexcept {
  const HWND parent = GetAncestor(hwnd, GA_PARENT);
  if (parent && parent != GetDesktopWindow()) ScreenToClient(parent, &screenPoint);
  return screenPoint;
}
}  // namespace

void MoveToScreenPoint(HWND hwnd, POINT screenTopLeft) noexcept {
  const POINT at = InParentOf(hwnd, screenTopLeft);
  SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceAtScreenPoint(HWND hwnd, POINT screenTopLeft, SIZE size) noexcept {
  RECT now{};
  GetWindowRect(hwnd, &now);
  const RECT wanted{screenTopLeft.x, screenTopLeft.y, screenTopLeft.x + size.cx, screenTopLeft.y + size.cy};
  if (EqualRect(&now, &wanted)) return;  // a window made in its place, which a move would cost a round for
  const POINT at = InParentOf(hwnd, screenTopLeft);
  SetWindowPos(hwnd, nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace pintaro
