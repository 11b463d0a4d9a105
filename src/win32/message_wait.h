#pragma once
// Waiting for something that other windows' messages or another thread bring, while this thread's
// messages keep running.
#include <windows.h>

#include <chrono>

#include "win32/message_pump.h"

namespace pintaro {

// Runs this thread's messages as they arrive until done() holds or the time is up (never, for the
// largest timeout); returns done(). Wakes also when wakeOn, an event, is set. A quit request met on
// the way is put back for the main loop and ends the wait.
template <typename Done>
bool RunMessagesUntil(Done done, std::chrono::milliseconds timeout, HANDLE wakeOn = nullptr) noexcept {
  const bool forever = timeout == std::chrono::milliseconds::max();
  const auto end = std::chrono::steady_clock::now() + (forever ? std::chrono::milliseconds(0) : timeout);
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (!forever && left.count() <= 0) return false;
    MsgWaitForMultipleObjectsEx(wakeOn ? 1 : 0, &wakeOn, forever ? INFINITE : static_cast<DWORD>(left.count()),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (!DispatchWaitingMessages(done)) return done();
  }
  return true;
}

}  // namespace pintaro
