#include "icon_window/notify_icon.h"

#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <chrono>
#include <cwchar>
#include <utility>
#include <iterator>

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
  Icon().smallIcon.reset(icon);
  Icon().record.hIcon = Icon().smallIcon.get();
}

BOOL Notify(DWORD message, NOTIFYICONDATAW& record) noexcept {
  try {
    if (const NotifyIconHook& hook = SeamOf<NotifyIconHook>()) return hook(message, record);
  } catch (...) {
    return FALSE;
  }
  static const auto notify = LibraryFunction<decltype(::Shell_NotifyIconW)>(Shell32(), "Shell_NotifyIconW");
  return notify && notify(message, &record);
}
BOOL Notify(DWORD message) noexcept { return Notify(message, Icon().record); }

// At logon the taskbar may not be there yet: a failed add is tried again for a minute. Windows may have
// added the icon all the same, after waiting in vain for a busy Explorer's answer: a try again changes
// that one first.
void AddOrTryLater(HWND main, bool tryAgain = false) noexcept {
  NotifyIconState& icon = Icon();
  icon.shown = (tryAgain && Notify(NIM_MODIFY)) || Notify(NIM_ADD);
  // The shell's answer lets sent messages run: an end meanwhile may have come before the icon was
  // there, so the icon goes now.
  if (!icon.added) {
    if (std::exchange(icon.shown, false)) Notify(NIM_DELETE);
    return;
  }
  if (!icon.shown && icon.addTries++ < kAddTries) {
    SetTimer(main, kNotifyIconRetryTimer, kAddRetryMs, nullptr);
  } else {
    KillTimer(main, kNotifyIconRetryTimer);
  }
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
  AddOrTryLater(main);
}

void RemoveNotifyIcon() noexcept {
  NotifyIconState& icon = Icon();
  if (!icon.added) return;
  KillTimer(icon.record.hWnd, kNotifyIconRetryTimer);
  // Also after an add that reported a failure: the taskbar may show the icon all the same. A busy
  // Explorer may keep the call waiting for seconds: the end waits a moment for it, no longer, and the
  // worker keeps its own copy of the record, as it may outlive the program's.
  RunOnWorkerFor([record = icon.record]() mutable { Notify(NIM_DELETE, record); }, std::chrono::milliseconds(500));
  icon.added = icon.shown = false;
}

void RestoreNotifyIcon() noexcept {
  NotifyIconState& icon = Icon();
  if (!icon.added) return;
  // Explorer restarted, or the scale changed while the taskbar still has the icon: that one is changed,
  // else it is added again.
  LoadSmallIcon();
  icon.shown = Notify(NIM_MODIFY) != FALSE;
  if (!icon.shown) AddOrTryLater(icon.record.hWnd);
}

void RetryAddingNotifyIcon() noexcept {
  if (const NotifyIconState& icon = Icon(); icon.added && !icon.shown) AddOrTryLater(icon.record.hWnd, true);
}

UINT TaskbarCreatedMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace pintaro
