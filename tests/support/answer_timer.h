#pragma once
// How long this thread leaves messages unanswered while it works.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "support/app_fixture.h"

namespace pintaro::test {

// Another thread posts this thread a message every 20 ms until stopped, and times how long each waits for its answer.
class AnswerTimer {
 public:
  std::chrono::steady_clock::duration Stop() { return SetEvent(stop_.get()), asker_.join(), longest_.load(); }

 private:
  UniqueKernelHandle answered_{CreateEventW(nullptr, FALSE, FALSE, nullptr)},
      stop_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<std::chrono::steady_clock::duration> longest_{};
  InNextPump answer_{[this] { SetEvent(answered_.get()); }, false};
  std::thread asker_{[this] {
    const HANDLE either[] = {answered_.get(), stop_.get()};
    do {
      const auto asked = std::chrono::steady_clock::now();
      PostMessageW(answer_.hwnd(), WM_APP, 0, 0);
      WaitForMultipleObjects(2, either, FALSE, INFINITE);
      longest_ = std::max(longest_.load(), std::chrono::steady_clock::now() - asked);
    } while (WaitForSingleObject(stop_.get(), 20) == WAIT_TIMEOUT);
  }};
};

}  // namespace pintaro::test
