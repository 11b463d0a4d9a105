#include "win32/modal_block.h"

#include <vector>

namespace pintaro {

namespace {

bool g_holding = false;
std::vector<HWND> g_disabled;

void DisableAndKeep(HWND window) noexcept {
  try {
    g_disabled.push_back(window);
    EnableWindow(window, FALSE);
  } catch (...) {
    // Without memory to remember it, the window keeps taking input.
  }
}

BOOL CALLBACK DisableProgramWindow(HWND window, LPARAM dialog) noexcept {
  const bool programs = reinterpret_cast<HMODULE>(GetClassLongPtrW(window, GCLP_HMODULE)) == GetModuleHandleW(nullptr);
  if (programs && window != reinterpret_cast<HWND>(dialog) && IsWindowEnabled(window)) DisableAndKeep(window);
  return TRUE;
}

}  // namespace

void OtherWindowsDisabled::Disable(HWND dialog) {
  g_holding = true;
  EnumThreadWindows(GetCurrentThreadId(), &DisableProgramWindow, reinterpret_cast<LPARAM>(dialog));
}

void OtherWindowsDisabled::Restore() noexcept {
  if (!g_holding) return;
  g_holding = false;
  for (HWND window : g_disabled) EnableWindow(window, TRUE);
  g_disabled.clear();
}

void DisableWhileADialogHolds(HWND window) noexcept {
  if (g_holding && IsWindowEnabled(window)) DisableAndKeep(window);
}

}  // namespace pintaro
