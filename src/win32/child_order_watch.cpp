#include "win32/child_order_watch.h"

#include <utility>

namespace pintaro {

namespace {
// Explorer makes and orders its windows in bursts: one look after the last of them.
constexpr UINT kSettleMs = 100;
// Events reach the thread that hooked them, through its message loop: one watch a thread.
thread_local ChildOrderWatch* t_watch = nullptr;
}  // namespace

void ChildOrderWatch::Watch(HWND parent, Changed changed) noexcept {
  changed_ = changed;
  if (parent == parent_ && hook_) return;
  Stop();
  DWORD process = 0;
  // A parent of this process's own (a test's stand-in) changes only as this program orders it.
  if (!GetWindowThreadProcessId(parent, &process) || process == GetCurrentProcessId()) return;
  // Out of context: the events come to this thread's queue, and nothing of this program runs in the
  // other's. The range holds made, gone, shown, hidden and reordered. The other's process only, which
  // leaves this one's out (Wine 8 delivers nothing at all when that is asked for as well).
  hook_ =
      SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_REORDER, nullptr, &OnEvent, process, 0, WINEVENT_OUTOFCONTEXT);
  if (!hook_) return;
  parent_ = parent;
  t_watch = this;
}

void ChildOrderWatch::Stop() noexcept {
  if (hook_) UnhookWinEvent(std::exchange(hook_, nullptr));
  if (settleTimer_) KillTimer(nullptr, std::exchange(settleTimer_, 0));
  parent_ = nullptr;
  if (t_watch == this) t_watch = nullptr;
}

bool ChildOrderWatch::Concerns(HWND hwnd, LONG object) const noexcept {
  if (hwnd == parent_) return true;
  return object == OBJID_WINDOW && hwnd && GetAncestor(hwnd, GA_PARENT) == parent_;
}

void CALLBACK ChildOrderWatch::OnEvent(HWINEVENTHOOK hook, DWORD, HWND hwnd, LONG object, LONG, DWORD, DWORD) noexcept {
  ChildOrderWatch* watch = t_watch;
  if (!watch || watch->hook_ != hook || !watch->Concerns(hwnd, object)) return;
  // Setting the timer again puts the look off until the burst is over.
  watch->settleTimer_ = SetTimer(nullptr, watch->settleTimer_, kSettleMs, &OnSettled);
}

void CALLBACK ChildOrderWatch::OnSettled(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
  KillTimer(nullptr, timer);
  ChildOrderWatch* watch = t_watch;
  if (!watch || watch->settleTimer_ != timer) return;
  watch->settleTimer_ = 0;
  if (watch->changed_) watch->changed_();
}

}  // namespace pintaro
