#include "menu/wheel_and_clipboard.h"

#include <utility>

#include "menu/main_menu.h"
#include "win32/program.h"

namespace pintaro {

namespace {

void OnMouseWheel(WPARAM wParam) {
  if (const int step = MenuState::Of().wheelNotches.Add(GET_WHEEL_DELTA_WPARAM(wParam))) StepAllSizes(step);
}

void OnClipboardChange() { TheMainMenu().SetPasteEnabled(IsClipboardFormatAvailable(CF_BITMAP) != FALSE); }

}  // namespace

void StartClipboardWatch(HWND window) noexcept { AddClipboardFormatListener(window); }

void StopClipboardWatch(HWND window) noexcept { RemoveClipboardFormatListener(window); }

void StartIconWindowHandling(HWND hwnd) noexcept { MenuState::Of().wheelWindow = hwnd; }

void StopIconWindowHandling(HWND hwnd) noexcept {
  if (MenuState& menus = MenuState::Of(); menus.wheelWindow == hwnd) menus.wheelWindow = nullptr;
}

void HandleIconWindowExtras(UINT message, WPARAM wParam) noexcept {
  // Before the handling starts, the start-up's own clipboard check stands in for notifications. A turn
  // that comes while a step lets messages run is dropped, not summed: one step never runs inside another.
  MenuState& menus = MenuState::Of();
  if (!menus.wheelWindow || menus.wheelBusy) return;
  if (message != WM_MOUSEWHEEL && message != WM_CLIPBOARDUPDATE) return;
  menus.wheelBusy = true;
  try {
    if (message == WM_MOUSEWHEEL) {
      OnMouseWheel(wParam);
    } else {
      OnClipboardChange();
    }
  } catch (...) {
    // A size change that ran out of memory leaves the windows as far as it got.
  }
  menus.wheelBusy = false;
}

}  // namespace pintaro
