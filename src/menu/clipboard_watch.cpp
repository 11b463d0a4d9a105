#include "menu/clipboard_watch.h"

#include "icon_window/frm_main.h"
#include "menu/frm_main_menus.h"

namespace pintaro {

namespace {
HWND g_hooked = nullptr;
}

void StartClipboardViewer(FrmMain& form) noexcept { AddClipboardFormatListener(form.hwnd()); }

void StopClipboardViewer(FrmMain& form) noexcept { RemoveClipboardFormatListener(form.hwnd()); }

void HookWindow(HWND hwnd) noexcept { g_hooked = hwnd; }

void UnhookWindow(HWND hwnd) noexcept {
  if (g_hooked == hwnd) g_hooked = nullptr;
}

bool IsHooked(HWND hwnd) noexcept { return hwnd && g_hooked == hwnd; }

void OnClipboardChange() noexcept {
  // Before HookWindow the start-up's own check stands in for the notification.
  if (!g_hooked) return;
  MainMenus().SetPasteEnabled(IsClipboardFormatAvailable(CF_BITMAP) != FALSE);
}

}  // namespace pintaro
