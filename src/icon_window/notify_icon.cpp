#include "icon_window/notify_icon.h"

#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <chrono>
#include <cwchar>
#include <utility>
#include <iterator>
#include <memory>

#include "win32/program.h"
#include "win32/handles.h"
#include "win32/test_seam.h"
#include "win32/system_libraries.h"
#include "win32/tool_tip.h"
#include "win32/worker.h"
#include "win32/texts.h"
#include "resources/resource_ids.h"

namespace pintaro {

namespace {

NotifyIconHook& Hook() { return SeamOf<NotifyIconHook, &SetNotifyIconHook>(); }

constexpr UINT kTrayIconId = 1;

constexpr int kAddTries = 30;
constexpr UINT kAddRetryMs = 2000;
// How long the end's delete waits on a worker for a call to the taskbar still on its way.
constexpr DWORD kCallBeforeDeleteMs = 30000;

NotifyIconState& Icon() noexcept { return NotifyIconState::Of(); }

// The 16-colour picture before Windows XP (5.1), the 256-colour one from then on.
int TrayIconResource() noexcept {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#elif defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
  GetVersionExW(&version);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  const bool before51 = version.dwMajorVersion < 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion < 1);
  return before51 ? IDI_TRAY_16 : IDI_TRAY_256;
}

// The icon at the small-icon size of the screen's scale now: after a change of scale it is loaded again.
void LoadSmallIcon() noexcept {
  static const auto load = LibraryFunction<decltype(::LoadIconMetric)>(CommonControls(), "LoadIconMetric");
  HICON icon = nullptr;
  if (load) load(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TrayIconResource()), LIM_SMALL, &icon);
  try {
    Icon().smallIcon = std::make_shared<UniqueIcon>(icon);
  } catch (...) {
    DestroyIcon(icon);
    Icon().smallIcon.reset();
  }
  Icon().record.hIcon = Icon().smallIcon ? Icon().smallIcon->get() : nullptr;
}

BOOL Notify(const NotifyIconHook& hook, DWORD message, NOTIFYICONDATAW& record) noexcept {
  try {
    if (hook) return hook(message, record);
  } catch (...) {
    return FALSE;
  }
  static const auto notify = LibraryFunction<decltype(::Shell_NotifyIconW)>(Shell32(), "Shell_NotifyIconW");
  return notify && notify(message, &record);
}

// Numbers the calls of every icon window the process makes, so that an answer meant for an earlier one,
// or posted by another program, is not taken for the call on its way.
LPARAM NextCallNumber() noexcept {
  static LPARAM number = 0;
  return ++number;
}

// Tells the taskbar of the icon on a worker, as an add or as a change first (the taskbar may have it
// already); the answer comes back to the icon window. A call that cannot start is answered as refused,
// so the retry timer tries again.
void Ask(bool changeFirst) noexcept {
  NotifyIconState& icon = Icon();
  icon.asking = true;
  icon.callNumber = NextCallNumber();
  try {
    auto done = std::make_shared<UniqueKernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    icon.lastCallDone = done;
    if (*done && StartOnWorker([record = icon.record, held = icon.smallIcon, hook = Hook(), changeFirst,
                                number = icon.callNumber, done]() mutable {
          const bool taken = (changeFirst && Notify(hook, NIM_MODIFY, record)) || Notify(hook, NIM_ADD, record);
          PostMessageW(record.hWnd, kNotifyIconAnswered, taken, number);
          SetEvent(done->get());
        }))
      return;
  } catch (...) {
  }
  icon.lastCallDone.reset();
  PostMessageW(icon.record.hWnd, kNotifyIconAnswered, FALSE, icon.callNumber);
}

}  // namespace

void SetNotifyIconHook(NotifyIconHook hook) { Hook() = std::move(hook); }

void AddNotifyIcon(HWND main) noexcept {
  NotifyIconState& icon = Icon();
  if (!main || icon.added) return;  // the record added holds the icon it shows
  icon.record = {};
  icon.record.cbSize = sizeof(icon.record);
  icon.record.hWnd = main;
  icon.record.uID = kTrayIconId;
  icon.record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.record.uCallbackMessage = kNotifyIconCallback;
  LoadSmallIcon();
  wcsncpy(icon.record.szTip, kTitle, std::size(icon.record.szTip) - 1);
  // A program started with raised rights hears from Explorer's taskbar only what it lets through.
  ChangeWindowMessageFilterEx(main, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
  icon.added = true;
  icon.addTries = 0;
  Ask(false);
}

void OnNotifyIconAnswered(bool taken, LPARAM callNumber) noexcept {
  NotifyIconState& icon = Icon();
  if (!icon.added || !icon.asking || callNumber != icon.callNumber) return;
  icon.asking = false;
  icon.shown = taken;
  if (std::exchange(icon.askAgain, false)) return RestoreNotifyIcon();
  // At logon the taskbar may not be there yet: a failed add is tried again for a minute. Windows may have
  // added the icon all the same, after waiting in vain for a busy Explorer's answer: a try again changes
  // that one first.
  if (!taken && icon.addTries++ < kAddTries) {
    SetTimer(icon.record.hWnd, kNotifyIconRetryTimer, kAddRetryMs, nullptr);
  } else {
    KillTimer(icon.record.hWnd, kNotifyIconRetryTimer);
  }
}

void RemoveNotifyIcon() noexcept {
  NotifyIconState& icon = Icon();
  if (!icon.added) return;
  KillTimer(icon.record.hWnd, kNotifyIconRetryTimer);
  // Also after an add that reported a failure: the taskbar may show the icon all the same. The delete
  // follows the call on its way, if any. A busy Explorer may keep them waiting for seconds: the end waits
  // a moment, no longer, and the worker keeps its own copies, as it may outlive the program.
  NOTIFYICONDATAW record = icon.record;
  record.uFlags = 0;
  record.hIcon = nullptr;
  RunOnWorkerFor(
      [record, hook = Hook(), before = icon.lastCallDone]() mutable {
        if (before) WaitForSingleObject(before->get(), kCallBeforeDeleteMs);
        Notify(hook, NIM_DELETE, record);
      },
      std::chrono::milliseconds(500));
  icon.added = icon.shown = icon.asking = icon.askAgain = false;
}

void RestoreNotifyIcon() noexcept {
  NotifyIconState& icon = Icon();
  if (!icon.added) return;
  // Explorer restarted, or the scale changed while the taskbar still has the icon: that one is changed,
  // else it is added again. A call on its way holds the icon it shows: this one follows it.
  if (icon.asking) {
    icon.askAgain = true;
    return;
  }
  LoadSmallIcon();
  Ask(true);
}

void RetryAddingNotifyIcon() noexcept {
  if (const NotifyIconState& icon = Icon(); icon.added && !icon.shown && !icon.asking) Ask(true);
}

UINT TaskbarCreatedMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace pintaro
