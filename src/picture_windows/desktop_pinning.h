#pragma once
// Pictures pinned into Explorer's desktop window: they go in as soon as it answers, and stay above the
// windows Explorer puts into it.
#include <windows.h>

#include <chrono>

#include "win32/child_order_watch.h"

namespace pintaro {

// The running program's pinning: the question the desktop window has not answered yet, the next try
// while pictures wait, and the watch over the order inside the desktop window.
class DesktopPinning {
 public:
  DesktopPinning() = default;
  DesktopPinning(const DesktopPinning&) = delete;
  DesktopPinning& operator=(const DesktopPinning&) = delete;
  ~DesktopPinning();

  // Every picture that waits to be pinned goes into the desktop window once it answers; until then
  // this tries again, less and less often, for as long as one waits.
  void Request();
  // The desktop window's answer to the last question, passed on by the picture window it came to
  // (kDesktopAnswered): the desktop window, or null when it did not answer in time.
  void OnAnswer(WPARAM question, LPARAM desktop);
  // Pinned pictures above every other window inside the desktop window, in their own order.
  void RaisePinnedPictures();

  // How long the worker waits for the desktop window's answer.
  static constexpr std::chrono::milliseconds kAnswerWait{10000};

 private:
  void Ask(HWND desktop);
  static void CALLBACK OnRetry(HWND, UINT, UINT_PTR timer, DWORD) noexcept;
  void PinWaitingPictures(HWND desktop);
  void TryLater();
  void StopTrying() noexcept;

  bool asking_ = false;  // a worker waits for the desktop window's answer
  std::chrono::steady_clock::time_point askedAt_;
  WPARAM question_ = 0;
  UINT_PTR retryTimer_ = 0;
  std::chrono::milliseconds retryIn_ = kFirstRetry;
  ChildOrderWatch order_;

  static constexpr std::chrono::milliseconds kFirstRetry{250};
  static constexpr std::chrono::milliseconds kLongestRetry{8000};
};

// The running program's pinning: what a picture window asks when it waits to be pinned, and the answer it
// passes on.
void RequestPinning();
void PassOnDesktopAnswer(WPARAM question, LPARAM desktop);

}  // namespace pintaro
