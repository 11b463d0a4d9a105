#pragma once
// Every popup menu of the program is shown through here, so tests can see which menu was asked for
// without entering the modal menu loop.
#include <windows.h>

#include <functional>

namespace pintaro {

// Receives (menu, flags, screen x, screen y, owner). When set, it stands in for TrackPopupMenu.
using PopupMenuHook = std::function<void(HMENU, UINT, int, int, HWND)>;

void SetPopupMenuHook(PopupMenuHook hook);

// Shows the menu at the given screen point; the chosen item arrives at owner as WM_COMMAND.
void TrackPopup(HMENU menu, UINT flags, POINT at, HWND owner);

// The transparency submenu: an item for each preset, in order, numbered from firstId.
HMENU CreateOpacityMenu(UINT firstId);

}  // namespace pintaro
