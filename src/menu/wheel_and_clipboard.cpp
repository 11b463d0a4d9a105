#include "menu/clipboard_watch.h"

#include "icon_window/icon_window.h"
#include "menu/main_menu.h"

namespace pintaro {

namespace {
HWND g_hooked = nullptr;
}

void StartClipboardWatch(IconWindow& form) noexcept { AddClipboardFormatListener(form.hwnd()); }

void StopClipboardWatch(IconWindow& form) noexcept { RemoveClipboardFormatListener(form.hwnd()); }

void StartIconWindowHandling(HWND hwnd) noexcept { g_hooked = hwnd; }

void StopIconWindowHandling(HWND hwnd) noexcept {
  if (g_hooked == hwnd) g_hooked = nullptr;
}

bool IconWindowHandlingOn(HWND hwnd) noexcept { return hwnd && g_hooked == hwnd; }

void OnClipboardChange() noexcept {
  // Before StartIconWindowHandling the start-up's own check stands in for the notification.
  if (!g_hooked) return;
  TheMainMenu().SetPasteEnabled(IsClipboardFormatAvailable(CF_BITMAP) != FALSE);
}

}  // namespace pintaro
