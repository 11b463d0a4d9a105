#include "picture_window/stacking.h"

namespace pintaro {

void SetTopMost(HWND hwnd, bool topmost) noexcept {
  SetParent(hwnd, nullptr);
  SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void AttachToDesktop(HWND hwnd) noexcept {
  if (HWND desktop = FindWindowW(nullptr, L"Program Manager")) SetParent(hwnd, desktop);
}

}  // namespace pintaro
