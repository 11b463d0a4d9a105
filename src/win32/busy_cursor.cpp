#include "win32/busy_cursor.h"

namespace pintaro {

namespace {
int g_busyDepth = 0;
}

// While busy the pointer is already the hourglass, which WM_SETCURSOR keeps (ApplyBusyCursor).
BusyCursor::BusyCursor() noexcept {
  if (g_busyDepth++ == 0) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

BusyCursor::~BusyCursor() {
  if (--g_busyDepth == 0) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

bool BusyCursor::Active() noexcept { return g_busyDepth > 0; }

bool ApplyBusyCursor() noexcept {
  if (!BusyCursor::Active()) return false;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

}  // namespace pintaro
