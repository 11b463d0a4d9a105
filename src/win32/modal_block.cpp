#include "win32/modal_block.h"

#include "win32/program.h"

namespace pintaro {

namespace {

void DisableAndKeep(HWND window) noexcept {
  try {
    TheProgram().dialogHold.disabled.push_back(window);
    EnableWindow(window, FALSE);
  } catch (...) {
    // Without memory to remember it, the window keeps taking input.
  }
}

bool Programs(HWND window) noexcept {
  return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
         reinterpret_cast<HMODULE>(GetClassLongPtrW(window, GCLP_HMODULE)) == GetModuleHandleW(nullptr);
}

BOOL CALLBACK DisableProgramWindow(HWND window, LPARAM dialog) noexcept {
  if (Programs(window) && window != reinterpret_cast<HWND>(dialog) && IsWindowEnabled(window)) DisableAndKeep(window);
  return TRUE;
}

// The program's own windows among the top-level ones and inside them, also inside other programs' windows
// (pictures pinned into the desktop window); the dialog's own stay as they are.
BOOL CALLBACK DisableProgramWindowsIn(HWND window, LPARAM dialog) noexcept {
  if (window == reinterpret_cast<HWND>(dialog)) return TRUE;
  DisableProgramWindow(window, dialog);
  EnumChildWindows(window, &DisableProgramWindow, dialog);
  return TRUE;
}

}  // namespace

void OtherWindowsDisabled::Disable(HWND dialog) {
  TheProgram().dialogHold.holding = true;
  EnumWindows(&DisableProgramWindowsIn, reinterpret_cast<LPARAM>(dialog));
}

void OtherWindowsDisabled::Restore() noexcept {
  DialogHold& hold = TheProgram().dialogHold;
  if (!hold.holding) return;
  hold.holding = false;
  for (HWND window : hold.disabled) EnableWindow(window, TRUE);
  hold.disabled.clear();
}

void DisableWhileADialogHolds(HWND window) noexcept {
  if (TheProgram().dialogHold.holding && IsWindowEnabled(window)) DisableAndKeep(window);
}

}  // namespace pintaro
