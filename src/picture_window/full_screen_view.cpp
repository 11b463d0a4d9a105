#include "picture_window/full_screen_view.h"

#include <utility>

#include "win32/system_libraries.h"
#include "win32/busy_cursor.h"
#include "win32/texts.h"
#include "picture_reading/dib_bitmap.h"

namespace pintaro {

FullScreenView::FullScreenView(void (*end)()) : end_(end) {
  RegisterClassOnce(kClassName, 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  CreateWindowOf(kClassName, 0, WS_POPUP, kTitle, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  // With an input method on (a Japanese one, usually), a key would start a composition over the
  // picture instead of typing a character: the view has no input context, so every key ends it.
  imm32::ImmAssociateContextEx(hwnd(), nullptr, 0);
}

RECT FullScreenView::ImageRect() const noexcept {
  const SIZE size = BitmapSize(picture_.get());
  return {pictureAt_.x, pictureAt_.y, pictureAt_.x + size.cx, pictureAt_.y + size.cy};
}

void FullScreenView::SetPicture(UniqueBitmap picture, POINT topLeft) noexcept {
  picture_ = std::move(picture);
  pictureAt_ = topLeft;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void FullScreenView::ReleasePicture() noexcept {
  picture_.reset();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void FullScreenView::ShowCovering() noexcept {
  pressed_ = false;
  SetWindowPos(hwnd(), HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd());
  SetFocus(hwnd());
}

// A click on the picture or on the black around it.
void FullScreenView::OnClick() { end_(); }

void FullScreenView::OnCharacterKey() { end_(); }

void FullScreenView::OnButtonUp() {
  if (std::exchange(pressed_, false)) OnClick();
}

void FullScreenView::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  if (picture_) {
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    SelectedObject selected(memory.get(), picture_.get());
    const SIZE size = BitmapSize(picture_.get());
    BitBlt(dc, pictureAt_.x, pictureAt_.y, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
  }
  EndPaint(hwnd(), &ps);
}

LRESULT FullScreenView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: pressed_ = true; return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: OnButtonUp(); return 0;
    case WM_CHAR: OnCharacterKey(); return 0;
    case WM_SETCURSOR:
      if (ApplyBusyCursor()) return TRUE;
      break;
    case WM_CLOSE:
      // Alt+F4 and the like end the view; the window itself lives until the program ends.
      end_();
      return 0;
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace pintaro
