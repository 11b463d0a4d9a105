#pragma once
// The full-screen view: one picture alone, centred on a black window that covers the primary
// screen. A click or a key that types a character ends it.
#include <windows.h>

#include "win32/handles.h"
#include "win32/window_base.h"

namespace pintaro {

class FullScreenView : public Window<FullScreenView> {
 public:
  static constexpr wchar_t kClassName[] = L"PintaroFullScreen";

  // Creates the window, hidden. A click or a key that types a character ends the view: end then runs.
  explicit FullScreenView(void (*end)());

  HBITMAP picture() const noexcept { return picture_.get(); }
  RECT ImageRect() const noexcept;
  void SetPicture(UniqueBitmap picture, POINT topLeft) noexcept;
  void ReleasePicture() noexcept;

  // Covers the primary screen, in front, with the keyboard focus.
  void ShowCovering() noexcept;
  bool IsShown() const noexcept { return IsWindowVisible(hwnd()) != FALSE; }

  // Event handlers; each ends the view.
  void OnClick();
  void OnCharacterKey();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void OnPaint();
  void OnButtonUp();

  void (*const end_)();
  UniqueBitmap picture_;  // screen-sized at most; none while the view is off
  POINT pictureAt_{};     // its top-left corner, in pixels
  // A click is a press and a release on the view. The release of the double-click that opened the
  // view arrives here without a press, and must not close it again.
  bool pressed_ = false;
};

}  // namespace pintaro
