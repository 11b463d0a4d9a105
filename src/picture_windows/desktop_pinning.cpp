#include "picture_windows/desktop_pinning.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "picture_window/picture_window.h"
#include "picture_window/stacking.h"
#include "picture_windows/picture_windows.h"
#include "win32/messages_and_timers.h"
#include "win32/program.h"
#include "win32/worker.h"

namespace pintaro {

namespace {

// Explorer's desktop window holds a few dozen windows; the walk ends there whatever happens meanwhile.
constexpr int kMostChildrenLookedAt = 4096;

// Numbers the questions of every program object of the process: an answer that comes after its
// program ended is never taken for one of the next.
WPARAM g_lastQuestion = 0;

DesktopPinning* RunningPinning() noexcept {
  const Program* program = TryTheProgram();
  PictureWindowsState* pictures = PictureWindowsState::Running();
  return program && !program->ended && pictures ? &pictures->pinning : nullptr;
}

bool AnyWaits() {
  bool waits = false;
  PictureWindows().ForEach([&](const PictureWindow& window) { waits = waits || window.WaitsToBePinned(); });
  return waits;
}

bool IsPinnedPicture(HWND child) {
  bool pinned = false;
  PictureWindows().ForEach([&](const PictureWindow& window) {
    pinned = pinned || (window.hwnd() == child && window.stacking == StackingMode::OnDesktop);
  });
  return pinned;
}

}  // namespace

DesktopPinning::~DesktopPinning() { StopTrying(); }

void DesktopPinning::Request() {
  if (!AnyWaits()) {
    StopTrying();
    return;
  }
  // An answer goes to a waiting picture's window, and with it when Explorer's end takes that window.
  if (asking_ && std::chrono::steady_clock::now() - askedAt_ > 2 * kAnswerWait) asking_ = false;
  if (const HWND desktop = FindDesktopWindow(); desktop && !asking_) Ask(desktop);
  if (AnyWaits()) TryLater();
}

// One question at a time, on a worker: a desktop window that is slow, or hung, holds up neither this
// thread nor the end, and is not sent more and more of them. One of this thread answers at once.
void DesktopPinning::Ask(HWND desktop) {
  if (GetWindowThreadProcessId(desktop, nullptr) == GetCurrentThreadId()) {
    PinWaitingPictures(desktop);
    return;
  }
  HWND reply = nullptr;
  PictureWindows().ForEach([&](const PictureWindow& window) {
    if (!reply && window.WaitsToBePinned()) reply = window.hwnd();
  });
  asking_ = true;
  askedAt_ = std::chrono::steady_clock::now();
  question_ = ++g_lastQuestion;
  StartOnWorker([desktop, reply, question = question_] {
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(desktop, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                              static_cast<UINT>(kAnswerWait.count()), &result) != 0;
    PostMessageW(reply, kDesktopAnswered, question, answered ? reinterpret_cast<LPARAM>(desktop) : 0);
  });
}

void DesktopPinning::OnAnswer(WPARAM question, LPARAM desktop) {
  if (!asking_ || question != question_) return;  // not the answer waited for, or one from a stranger
  asking_ = false;
  // The window that answered, while it is still the desktop window.
  if (const HWND answered = reinterpret_cast<HWND>(desktop); answered && answered == FindDesktopWindow()) {
    PinWaitingPictures(answered);
  } else {
    Request();
  }
}

void DesktopPinning::PinWaitingPictures(HWND desktop) {
  if (!IsWindow(desktop)) return;
  PictureWindows().ForEach([&](PictureWindow& window) { window.PinInto(desktop); });
  order_.Watch(desktop, [] {
    if (DesktopPinning* pinning = RunningPinning()) pinning->RaisePinnedPictures();
  });
  RaisePinnedPictures();
  if (!AnyWaits()) StopTrying();
}

void DesktopPinning::RaisePinnedPictures() {
  const HWND desktop = order_.parent();
  if (!desktop) return;
  // The pinned pictures from the top down, and whether another visible window lies above one of them.
  std::vector<HWND> pictures;
  bool othersSeen = false, covered = false;
  HWND child = GetWindow(desktop, GW_CHILD);
  for (int looked = 0; child && looked < kMostChildrenLookedAt; ++looked, child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsPinnedPicture(child)) {
      pictures.push_back(child);
      covered = covered || othersSeen;
    } else {
      othersSeen = othersSeen || IsWindowVisible(child);
    }
  }
  if (!covered) return;  // also what ends the round of events the raising itself makes
  // From the lowest up, each to the top: they keep their own order.
  for (auto picture = pictures.rbegin(); picture != pictures.rend(); ++picture) {
    SetWindowPos(*picture, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_DEFERERASE);
  }
}

void DesktopPinning::TryLater() {
  if (retryTimer_) return;
  retryTimer_ = SetTimer(nullptr, 0, static_cast<UINT>(retryIn_.count()), &OnRetry);
  retryIn_ = std::min(retryIn_ * 2, kLongestRetry);
}

void CALLBACK DesktopPinning::OnRetry(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
  KillTimer(nullptr, timer);
  DesktopPinning* pinning = RunningPinning();
  if (!pinning || pinning->retryTimer_ != timer) return;
  pinning->retryTimer_ = 0;
  try {
    pinning->Request();
  } catch (...) {
    pinning->TryLater();  // out of memory for the worker's work
  }
}

void DesktopPinning::StopTrying() noexcept {
  if (retryTimer_) KillTimer(nullptr, std::exchange(retryTimer_, 0));
  retryIn_ = kFirstRetry;
}

void RequestPinning() {
  if (DesktopPinning* pinning = RunningPinning()) pinning->Request();
}

void PassOnDesktopAnswer(WPARAM question, LPARAM desktop) {
  if (DesktopPinning* pinning = RunningPinning()) pinning->OnAnswer(question, desktop);
}

}  // namespace pintaro
