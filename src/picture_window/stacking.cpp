#include "picture_window/stacking.h"

#include "win32/window_position.h"

namespace pintaro {

namespace {

// How long the desktop window, another program's (Explorer's), has to answer before the program goes
// on without it; after it has not, it is not asked again for a while.
constexpr UINT kAnswerMs = 200;
constexpr DWORD kSilentForMs = 1000;

bool Answers(HWND window) noexcept {
  static HWND silent = nullptr;
  static DWORD silentSince = 0;
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) return true;
  if (window == silent && GetTickCount() - silentSince < kSilentForMs) return false;
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, kAnswerMs, &result)) return true;
  silent = window;
  silentSince = GetTickCount();
  return false;
}

// A window keeps its coordinates through SetParent, which are relative to its new parent
// afterwards. Where the desktop window does not start at the screen's origin (a screen to the left
// of or above the primary one), that would make the picture jump; this puts it back where it was.
void KeepOnScreenAt(HWND hwnd, POINT screenTopLeft) noexcept {
  const POINT now = ScreenTopLeft(hwnd);
  if (now.x != screenTopLeft.x || now.y != screenTopLeft.y) MoveToScreenPoint(hwnd, screenTopLeft);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM monitors) noexcept {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  auto& list = *reinterpret_cast<std::vector<ScreenRect>*>(monitors);
  try {
    list.insert(info.dwFlags & MONITORINFOF_PRIMARY ? list.begin() : list.end(), {r.left, r.top, r.right, r.bottom});
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool SetTopMost(HWND hwnd, bool topmost) noexcept {
  const POINT place = ScreenTopLeft(hwnd);
  if (InsideDesktopWindow(hwnd) && !Answers(GetAncestor(hwnd, GA_PARENT))) return false;
  SetParent(hwnd, nullptr);
  KeepOnScreenAt(hwnd, place);
  SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  return true;
}

HWND FindDesktopWindow() noexcept { return FindWindowW(nullptr, L"Program Manager"); }

void PinInto(HWND hwnd, HWND desktop) noexcept {
  const POINT place = ScreenTopLeft(hwnd);
  SetParent(hwnd, desktop);
  KeepOnScreenAt(hwnd, place);
}

void PutAtTheBottom(HWND hwnd) noexcept {
  SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool InsideDesktopWindow(HWND hwnd) noexcept { return GetAncestor(hwnd, GA_PARENT) != GetDesktopWindow(); }

bool TakeOutOfDesktop(HWND hwnd) noexcept {
  // Without erasing the desktop window's background at once, which would wait for its thread.
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
  if (!Answers(GetAncestor(hwnd, GA_PARENT))) return false;
  SetParent(hwnd, nullptr);
  return true;
}

std::vector<ScreenRect> CurrentMonitors() {
  std::vector<ScreenRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

POINT OnAMonitor(POINT topLeft, SIZE size) {
  const Point at = PlaceOnAMonitor({topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy}, CurrentMonitors());
  return {at.x, at.y};
}

}  // namespace pintaro
