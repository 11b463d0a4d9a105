#include "win32/layered.h"

namespace pintaro {

void SetLayered(HWND hwnd, int alpha) noexcept {
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  SetWindowLongPtrW(hwnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
  SetAlpha(hwnd, alpha == 0 ? 128 : alpha);
}

void SetAlpha(HWND hwnd, int alpha) noexcept {
  SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(ClampOpacity(alpha)), LWA_ALPHA);
}

void SetColorKey(HWND hwnd, COLORREF key, int alpha) noexcept {
  SetLayeredWindowAttributes(hwnd, key, static_cast<BYTE>(ClampOpacity(alpha)), LWA_COLORKEY);
}

}  // namespace pintaro
