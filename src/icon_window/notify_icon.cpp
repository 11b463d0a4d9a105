#include "icon_window/notify_icon.h"

#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

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

constexpr UINT kTrayIconId = 1;

constexpr int kAddTries = 30;
constexpr UINT kAddRetryMs = 2000;

NotifyIconState& Icon() noexcept { return *TheProgram().notifyIcon; }

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
  UniqueIcon loaded(icon);
  NotifyIconState& state = Icon();
  try {
    state.smallIcon = std::make_shared<UniqueIcon>(std::move(loaded));
  } catch (...) {
    // Out of memory: the icon shown so far stays.
  }
  state.record.hIcon = state.smallIcon ? state.smallIcon->get() : nullptr;
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

// Asks the shell on the worker for each message in turn until one succeeds; the answer comes back to the
// window. The call holds its own copies of the record, of the icon it names and of the stand-in, as it
// may outlast them here. Its number; 0 when it could not be asked.
WPARAM AskShell(HWND answerTo, std::vector<DWORD> messages) noexcept {
  try {
    NotifyIconState& icon = Icon();
    return icon.shell.Ask(answerTo, [record = icon.record, keep = icon.smallIcon, hook = SeamOf<NotifyIconHook>(),
                                     messages = std::move(messages)]() mutable {
      return std::ranges::any_of(messages, [&](DWORD message) { return Notify(hook, message, record) != FALSE; });
    });
  } catch (...) {
    return 0;
  }
}

// At logon the taskbar may not be there yet: a failed add is tried again for a minute, 2 s after each
// answer.
void TakeShowAnswer(bool shown) noexcept {
  NotifyIconState& icon = Icon();
  icon.shown = shown;
  if (!icon.shown && icon.addTries++ < kAddTries) {
    SetTimer(icon.record.hWnd, kNotifyIconRetryTimer, kAddRetryMs, nullptr);
  } else {
    KillTimer(icon.record.hWnd, kNotifyIconRetryTimer);
  }
}

// Asks the taskbar to show the icon. Windows may have added it all the same after waiting in vain for a
// busy Explorer's answer, or the taskbar may still have it: then that one is changed first.
void AskToShow(bool changeFirst) noexcept {
  NotifyIconState& icon = Icon();
  KillTimer(icon.record.hWnd, kNotifyIconRetryTimer);  // set again once the answer is in
  icon.latestShow =
      AskShell(icon.record.hWnd, changeFirst ? std::vector<DWORD>{NIM_MODIFY, NIM_ADD} : std::vector<DWORD>{NIM_ADD});
  if (icon.latestShow == 0) TakeShowAnswer(false);
}

}  // namespace

void SetNotifyIconHook(NotifyIconHook hook) { SeamOf<NotifyIconHook>() = std::move(hook); }

void AddNotifyIcon() noexcept {
  const HWND main = IconWindowHandle();
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
  AskToShow(false);
}

void RemoveNotifyIcon() noexcept {
  NotifyIconState& icon = Icon();
  if (!icon.added) return;
  KillTimer(icon.record.hWnd, kNotifyIconRetryTimer);
  // Also after an add that reported a failure or has not answered yet: the taskbar may show the icon all
  // the same. The delete comes after the call the shell has in hand and in place of one that waits; a
  // busy Explorer may keep it waiting for seconds: the end waits a moment for it, no longer.
  AskShell(nullptr, {NIM_DELETE});
  icon.shell.WaitUntilDone(std::chrono::milliseconds(500));
  icon.added = icon.shown = false;
}

void RestoreNotifyIcon() noexcept {
  if (!Icon().added) return;
  // Explorer restarted, or the scale changed while the taskbar still has the icon: that one is changed,
  // else it is added again.
  LoadSmallIcon();
  AskToShow(true);
}

void RetryAddingNotifyIcon() noexcept {
  if (const NotifyIconState& icon = Icon(); icon.added && !icon.shown) AskToShow(true);
}

void OnNotifyIconAnswer(WPARAM callNumber) noexcept {
  NotifyIconState& icon = Icon();
  const std::optional<bool> shown = icon.shell.TakeResult(callNumber);
  // Not another program's message, nor the answer to a call asked again since, nor one after the end.
  if (shown && callNumber == icon.latestShow && icon.added) TakeShowAnswer(*shown);
}

UINT TaskbarCreatedMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace pintaro
