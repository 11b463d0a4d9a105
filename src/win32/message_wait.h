#pragma once
// Waiting for something that other windows' messages bring, while this thread's messages keep running.
#include <windows.h>

#include <chrono>

#include "win32/message_pump.h"

namespace pintaro {

// Runs this thread's messages as they arrive until done() holds or the time is up; returns done().
// A quit request met on the way is put back for the main loop and ends the wait.
template <typename Done>
bool RunMessagesUntil(Done done, std::chrono::milliseconds timeout) noexcept {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (!done() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PutBackQuit(static_cast<int>(msg.wParam));
        return done();
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

// Runs this thread's messages as they arrive until done() holds, waking also when the event is set.
// A quit request met on the way is put back for the main loop; the wait then goes on without messages.
template <typename Done>
void RunMessagesUntilSignalled(HANDLE event, Done done) noexcept {
  bool quit = false;
  while (!done()) {
    if (quit) {
      WaitForSingleObject(event, INFINITE);
      continue;
    }
    MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (!done() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PutBackQuit(static_cast<int>(msg.wParam));
        quit = true;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace pintaro
