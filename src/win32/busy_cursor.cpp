#include "win32/busy_cursor.h"

#include "win32/program.h"

namespace pintaro {

// While busy the pointer is already the hourglass, which WM_SETCURSOR keeps (ApplyBusyCursor).
BusyCursor::BusyCursor() noexcept {
  if (TheProgram().busyDepth++ == 0) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

BusyCursor::~BusyCursor() {
  if (--TheProgram().busyDepth == 0) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

bool BusyCursor::Active() noexcept { return TheProgram().busyDepth > 0; }

bool ApplyBusyCursor() noexcept {
  if (!BusyCursor::Active()) return false;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

}  // namespace pintaro
