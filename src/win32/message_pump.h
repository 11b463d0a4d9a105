#pragma once
#include <windows.h>

namespace pintaro {

// A failed retrieval of a message is passed over; this many in a row end the pass (a broken queue
// would otherwise spin it). Wine fails to hand over a posted DDE message whose block is larger than
// about 2 MB, and goes on with the next message.
inline constexpr int kFailedRetrievalsInARow = 100;

// The program's answer to a quit request that a pump meets; the request itself stays for the main
// loop. Nothing by default.
void OnQuitRequest(void (*handler)() noexcept) noexcept;
// For pumps that meet a quit request: puts it back and tells the program.
void PutBackQuit(int exitCode) noexcept;

// Dispatches the messages waiting in this thread's queue until stop() holds or none is left. False
// when a quit request came, which is put back for the main loop.
template <typename Stop>
bool DispatchWaitingMessages(Stop stop) noexcept {
  MSG msg;
  for (int failures = 0; failures < kFailedRetrievalsInARow && !stop();) {
    const BOOL got = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
    if (got == 0) break;
    if (got < 0) {
      ++failures;  // msg holds nothing new: dispatching it would repeat the message before
      continue;
    }
    failures = 0;
    if (msg.message == WM_QUIT) {
      PutBackQuit(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

// Lets every window message waiting in this thread's queue run, then returns. A quit request met on
// the way is put back, so the main loop still sees it.
inline void PumpMessages() noexcept {
  DispatchWaitingMessages([] { return false; });
}

}  // namespace pintaro
