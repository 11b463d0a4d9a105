#pragma once
// The full-screen view: one picture alone, centred on a black window that covers the primary
// screen. A click or a key that types a character ends it.
#include <windows.h>

#include "win32/handles.h"
#include "win32/window_base.h"

namespace pintaro {

class FrmFullScreen : public Window<FrmFullScreen> {
 public:
  // The picture and where it stands in the window.
  struct ImageControl {
    UniqueBitmap Picture;  // screen-sized at most; none while the view is off
    int Left = 0;          // pixels
    int Top = 0;
  };

  static constexpr wchar_t kClassName[] = L"PintaroFullScreen";

  // Creates the window, hidden.
  FrmFullScreen();

  const ImageControl& imgImage() const noexcept { return imgImage_; }
  RECT ImageRect() const noexcept;
  void SetPicture(UniqueBitmap picture, POINT topLeft) noexcept;
  void ReleasePicture() noexcept;

  // Covers the primary screen, in front, with the keyboard focus.
  void ShowCovering() noexcept;
  bool IsShown() const noexcept { return IsWindowVisible(hwnd()) != FALSE; }

  // Event handlers; each ends the view.
  void Form_Click();
  void imgImage_Click();
  void Form_KeyPress(int KeyAscii);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void OnPaint();
  void OnButtonUp(POINT at);

  ImageControl imgImage_;
  // A click is a press and a release on the view. The release of the double-click that opened the
  // view arrives here without a press, and must not close it again.
  bool pressed_ = false;
};

}  // namespace pintaro
