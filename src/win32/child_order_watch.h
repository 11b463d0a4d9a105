#pragma once
// Learns from Windows when the order of another program's window's children changes: a window made,
// shown or moved up inside it. Nothing runs while nothing changes.
#include <windows.h>

namespace pintaro {

class ChildOrderWatch {
 public:
  using Changed = void (*)();

  ChildOrderWatch() = default;
  ChildOrderWatch(const ChildOrderWatch&) = delete;
  ChildOrderWatch& operator=(const ChildOrderWatch&) = delete;
  ~ChildOrderWatch() { Stop(); }

  // Calls changed from the message loop, a moment after the last of a burst of changes inside parent.
  // Watching the same parent again changes nothing; another parent replaces the first.
  void Watch(HWND parent, Changed changed) noexcept;
  void Stop() noexcept;
  HWND parent() const noexcept { return parent_; }

 private:
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object, LONG child, DWORD thread,
                               DWORD time) noexcept;
  static void CALLBACK OnSettled(HWND, UINT, UINT_PTR timer, DWORD) noexcept;
  bool Concerns(HWND hwnd, LONG object) const noexcept;

  HWND parent_ = nullptr;
  HWINEVENTHOOK hook_ = nullptr;
  UINT_PTR settleTimer_ = 0;
  Changed changed_ = nullptr;
};

}  // namespace pintaro
