#include "win32/window_drag.h"

namespace pintaro {

void StartWindowDrag(HWND hwnd) noexcept {
  ReleaseCapture();
  SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

}  // namespace pintaro
