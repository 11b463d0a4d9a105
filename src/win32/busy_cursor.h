#pragma once
#include <windows.h>

namespace pintaro {

// Shows the hourglass over the program's windows while busy work runs; nested uses count, and the
// arrow comes back when the last one ends, on every path out.
class BusyCursor {
 public:
  BusyCursor() noexcept;
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

  static bool Active() noexcept;
};

// For WM_SETCURSOR: shows the hourglass while busy. Returns true when it set the cursor.
bool ApplyBusyCursor() noexcept;

}  // namespace pintaro
