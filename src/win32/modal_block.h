#pragma once
// While a modal dialog of the program is open, the program's other windows take no input: those there
// when it opened, and those made while it is open (a hand-off or a paste may open pictures meanwhile).
#include <windows.h>

#include <vector>

namespace pintaro {

// The running program's part: whether a dialog holds the other windows, and those it disabled.
struct DialogHold {
  bool holding = false;
  std::vector<HWND> disabled;
};

class OtherWindowsDisabled {
 public:
  OtherWindowsDisabled() = default;
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
  ~OtherWindowsDisabled() { Restore(); }

  // Disables the enabled top-level windows of this thread that belong to the program, but the dialog,
  // and every one made from now on until Restore.
  void Disable(HWND dialog);
  // Enables them again.
  void Restore() noexcept;
};

// For every new top-level window of the program: disabled while a dialog holds the others.
void DisableWhileADialogHolds(HWND window) noexcept;

}  // namespace pintaro
