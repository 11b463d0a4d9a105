#include "picture_window/frm_full_screen.h"

#include <windowsx.h>

#include <utility>

#include "win32/busy_cursor.h"
#include "win32/texts.h"
#include "picture_window/full_screen.h"
#include "pictures/dib_bitmap.h"

namespace pintaro {

FrmFullScreen::FrmFullScreen() {
  RegisterClassOnce(kClassName, 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  CreateWindowOf(kClassName, 0, WS_POPUP, kTitle, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

RECT FrmFullScreen::ImageRect() const noexcept {
  const SIZE size = BitmapSize(imgImage_.Picture.get());
  return {imgImage_.Left, imgImage_.Top, imgImage_.Left + size.cx, imgImage_.Top + size.cy};
}

void FrmFullScreen::SetPicture(UniqueBitmap picture, POINT topLeft) noexcept {
  imgImage_.Picture = std::move(picture);
  imgImage_.Left = topLeft.x;
  imgImage_.Top = topLeft.y;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void FrmFullScreen::ReleasePicture() noexcept {
  imgImage_.Picture.reset();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void FrmFullScreen::ShowCovering() noexcept {
  pressed_ = false;
  SetWindowPos(hwnd(), HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd());
  SetFocus(hwnd());
}

void FrmFullScreen::Form_Click() { CloseFullScreen(); }

void FrmFullScreen::imgImage_Click() { CloseFullScreen(); }

void FrmFullScreen::Form_KeyPress(int) { CloseFullScreen(); }

void FrmFullScreen::OnButtonUp(POINT at) {
  if (!std::exchange(pressed_, false)) return;
  const RECT image = ImageRect();
  if (PtInRect(&image, at)) {
    imgImage_Click();
  } else {
    Form_Click();
  }
}

void FrmFullScreen::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  if (imgImage_.Picture) {
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    SelectedObject selected(memory.get(), imgImage_.Picture.get());
    const SIZE size = BitmapSize(imgImage_.Picture.get());
    BitBlt(dc, imgImage_.Left, imgImage_.Top, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
  }
  EndPaint(hwnd(), &ps);
}

LRESULT FrmFullScreen::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: pressed_ = true; return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: OnButtonUp({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_CHAR: Form_KeyPress(static_cast<int>(wParam)); return 0;
    case WM_SETCURSOR:
      if (ApplyBusyCursor()) return TRUE;
      break;
    case WM_CLOSE:
      // Alt+F4 and the like end the view; the window itself lives until the program ends.
      CloseFullScreen();
      return 0;
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace pintaro
