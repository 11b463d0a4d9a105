#include "win32/popup_menu.h"

#include <iterator>

#include "win32/test_seam.h"
#include "win32/texts.h"

namespace pintaro {

namespace {
PopupMenuHook& Hook() { return SeamOf<PopupMenuHook, &SetPopupMenuHook>(); }
}  // namespace

void SetPopupMenuHook(PopupMenuHook hook) { Hook() = std::move(hook); }

void TrackPopup(HMENU menu, UINT flags, POINT at, HWND owner) {
  if (Hook()) {
    Hook()(menu, flags, at.x, at.y, owner);
    return;
  }
  // The owner must be in front, or the menu does not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, flags, at.x, at.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

HMENU CreateOpacityMenu(UINT firstId) {
  const HMENU opacities = CreatePopupMenu();
  for (UINT i = 0; i < std::size(kOpacityCaptions); ++i)
    AppendMenuW(opacities, MF_STRING, firstId + i, kOpacityCaptions[i]);
  return opacities;
}

}  // namespace pintaro
