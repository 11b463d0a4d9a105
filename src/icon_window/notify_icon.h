#pragma once
// The icon in the taskbar's notification area.
#include <windows.h>
#include <shellapi.h>

#include <functional>

#include "win32/handles.h"
#include "win32/messages_and_timers.h"  // kNotifyIconCallback, the message the icon sends the icon window

namespace pintaro {

// The running program's icon in the notification area.
struct NotifyIconState {
  bool added = false;  // from AddNotifyIcon to RemoveNotifyIcon
  bool shown = false;  // the taskbar took it
  int addTries = 0;
  NOTIFYICONDATAW record{};
  UniqueIcon smallIcon;
};

// Adds the notification-area icon once, with the tip "ぴんたろ"; when the taskbar does not take it, tries
// again for a minute on the icon window's retry timer.
void AddNotifyIcon() noexcept;
// Removes it, if AddNotifyIcon added it.
void RemoveNotifyIcon() noexcept;
// After the taskbar was made again (Explorer restarted) or the screen's scale changed, tells the taskbar
// the icon again at the new scale, if it was added before.
void RestoreNotifyIcon() noexcept;
// For the icon window's retry timer, kNotifyIconRetryTimer.
void RetryAddingNotifyIcon() noexcept;

// Explorer's broadcast when it has made the taskbar.
UINT TaskbarCreatedMessage() noexcept;

// Receives (NIM_ADD, NIM_MODIFY or NIM_DELETE, the record) and answers as the shell would. When set, it
// stands in for the shell.
using NotifyIconHook = std::function<BOOL(DWORD, const NOTIFYICONDATAW&)>;
void SetNotifyIconHook(NotifyIconHook hook);

}  // namespace pintaro
