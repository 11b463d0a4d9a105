#include "win32/layered.h"

namespace pintaro {

// Each change of the style or of the attributes costs a round with the window manager, and a picture
// window's opening makes several: one that changes nothing is left out.
void SetLayered(HWND hwnd, int alpha) noexcept {
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if (!(style & WS_EX_LAYERED)) SetWindowLongPtrW(hwnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
  SetAlpha(hwnd, alpha == 0 ? 128 : alpha);
}

void SetAlpha(HWND hwnd, int alpha) noexcept {
  const auto opacity = static_cast<BYTE>(ClampOpacity(alpha));
  BYTE now = 0;
  DWORD flags = 0;
  if (GetLayeredWindowAttributes(hwnd, nullptr, &now, &flags) && flags == LWA_ALPHA && now == opacity) return;
  SetLayeredWindowAttributes(hwnd, 0, opacity, LWA_ALPHA);
}

void SetColorKey(HWND hwnd, COLORREF key, int alpha) noexcept {
  SetLayeredWindowAttributes(hwnd, key, static_cast<BYTE>(ClampOpacity(alpha)), LWA_COLORKEY);
}

}  // namespace pintaro
