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

bool g_trayIconAdded = false;  // from AddNotifyIcon to RemoveNotifyIcon
bool g_trayIconShown = false;  // the taskbar took it
int g_addTries = 0;
constexpr int kAddTries = 30;
constexpr UINT kAddRetryMs = 2000;
NOTIFYICONDATAW g_record{};
UniqueIcon g_smallIcon;

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
  g_smallIcon.reset(icon);
  g_record.hIcon = g_smallIcon.get();
}

BOOL Notify(DWORD message) noexcept {
  try {
    if (const NotifyIconHook& hook = SeamOf<NotifyIconHook>()) return hook(message, g_record);
  } catch (...) {
    return FALSE;
  }
  static const auto notify = LibraryFunction<decltype(::Shell_NotifyIconW)>(Shell32(), "Shell_NotifyIconW");
  return notify && notify(message, &g_record);
}

// At logon the taskbar may not be there yet: a failed add is tried again for a minute. Windows may have
// added the icon all the same, after waiting in vain for a busy Explorer's answer: a try again changes
// that one first.
void AddOrTryLater(HWND main, bool tryAgain = false) noexcept {
  g_trayIconShown = (tryAgain && Notify(NIM_MODIFY)) || Notify(NIM_ADD);
  // The shell's answer lets sent messages run: an end meanwhile may have come before the icon was
  // there, so the icon goes now.
  if (!g_trayIconAdded) {
    if (std::exchange(g_trayIconShown, false)) Notify(NIM_DELETE);
    return;
  }
  if (!g_trayIconShown && g_addTries++ < kAddTries) {
    SetTimer(main, kNotifyIconRetryTimer, kAddRetryMs, nullptr);
  } else {
    KillTimer(main, kNotifyIconRetryTimer);
  }
}

}  // namespace

void SetNotifyIconHook(NotifyIconHook hook) { SeamOf<NotifyIconHook>() = std::move(hook); }

void AddNotifyIcon() noexcept {
  const HWND main = IconWindowHandle();
  if (!main || g_trayIconAdded) return;  // the record added holds the icon it shows
  g_record = {};
  g_record.cbSize = sizeof(g_record);
  g_record.hWnd = main;
  g_record.uID = kTrayIconId;
  g_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_record.uCallbackMessage = kNotifyIconCallback;
  LoadSmallIcon();
  wcsncpy(g_record.szTip, kTitle, std::size(g_record.szTip) - 1);
  // A program started with raised rights hears from Explorer's taskbar only what it lets through.
  ChangeWindowMessageFilterEx(main, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
  g_trayIconAdded = true;
  g_addTries = 0;
  AddOrTryLater(main);
}

void RemoveNotifyIcon() noexcept {
  if (!g_trayIconAdded) return;
  KillTimer(g_record.hWnd, kNotifyIconRetryTimer);
  // Also after an add that reported a failure: the taskbar may show the icon all the same. A busy
  // Explorer may keep the call waiting for seconds: the end waits a moment for it, no longer.
  RunOnWorkerFor([] { Notify(NIM_DELETE); }, std::chrono::milliseconds(500));
  g_trayIconAdded = g_trayIconShown = false;
}

void RestoreNotifyIcon() noexcept {
  if (!g_trayIconAdded) return;
  // Explorer restarted, or the scale changed while the taskbar still has the icon: that one is changed,
  // else it is added again.
  LoadSmallIcon();
  g_trayIconShown = Notify(NIM_MODIFY) != FALSE;
  if (!g_trayIconShown) AddOrTryLater(g_record.hWnd);
}

void RetryAddingNotifyIcon() noexcept {
  if (g_trayIconAdded && !g_trayIconShown) AddOrTryLater(g_record.hWnd, true);
}

UINT TaskbarCreatedMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace pintaro
