#pragma once
// Any program may post any message to the program's windows, with any numbers in it. A pointer in a
// message is one only when the system made the message: the system sends the messages that carry its
// structures (a window's new place, a suggested rectangle) and never posts them, and PostMessage
// refuses most of them, though not every one.
#include <windows.h>

#include "win32/handles.h"

namespace pintaro {

// Who may have sent a message whose structure the program reads.
enum class SentFrom {
  ThisThread,  // the system acting in this thread (a move, a change of scale during a drag)
  AnyThread,   // also other threads: the system copies the structure between processes for these
};

// While it lives, every message retrieved from this thread's queue that carries a pointer only when
// the system sends it becomes WM_NULL before any message loop of the thread sees it: the program's
// own and those of message boxes, menus, dialogs and drags alike. Messages for the tips are treated
// so as well: the program only ever sends them theirs.
class PostedPointerGuard {
 public:
  PostedPointerGuard() noexcept;
  ~PostedPointerGuard();
  PostedPointerGuard(const PostedPointerGuard&) = delete;
  PostedPointerGuard& operator=(const PostedPointerGuard&) = delete;

 private:
  UniqueHandle<NullHandleTraits<HHOOK, &UnhookWindowsHookEx>> hook_;
};

// True for a message that the system only sends, with a pointer in it.
bool CarriesSystemPointer(UINT message, HWND to) noexcept;

// The structure that lParam points to in a message the system made; null when lParam is null, or when
// another thread sent the message and only this thread's sends are taken. Posted copies never get
// this far while a PostedPointerGuard lives.
template <typename T>
const T* SystemPointer(LPARAM lParam, SentFrom from) noexcept {
  if (lParam == 0) return nullptr;
  if (from == SentFrom::ThisThread && InSendMessageEx(nullptr) != ISMEX_NOSEND) return nullptr;
  return reinterpret_cast<const T*>(lParam);
}

}  // namespace pintaro
