#pragma once
// The icon in the taskbar's notification area.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>

#include "win32/handles.h"
#include "win32/program.h"
#include "win32/messages_and_timers.h"  // kNotifyIconCallback, the message the icon sends the icon window

namespace pintaro {

// The running program's icon in the notification area. A busy Explorer keeps each call to the taskbar
// waiting for seconds, so the calls are made on workers, one at a time, in the order they were asked.
struct NotifyIconState : ProgramPartOf<NotifyIconState> {
  bool added = false;     // from AddNotifyIcon to RemoveNotifyIcon
  bool shown = false;     // the taskbar took it
  bool asking = false;    // a call is on its way to the taskbar
  bool askAgain = false;  // the taskbar was made again while it was
  LPARAM callNumber = 0;  // of the call on its way
  int addTries = 0;
  NOTIFYICONDATAW record{};
  std::shared_ptr<UniqueIcon> smallIcon;             // a call on its way holds it too
  std::shared_ptr<UniqueKernelHandle> lastCallDone;  // set when the last call started has ended
};

// Adds the notification-area icon once, with the tip "ぴんたろ"; when the taskbar does not take it, tries
// again for a minute on the icon window's retry timer.
void AddNotifyIcon(HWND main) noexcept;
// Removes it, if AddNotifyIcon added it, after the call on its way; waits half a second at most.
void RemoveNotifyIcon() noexcept;
// After the taskbar was made again (Explorer restarted) or the screen's scale changed, tells the taskbar
// the icon again at the new scale, if it was added before.
void RestoreNotifyIcon() noexcept;
// For the icon window's retry timer, kNotifyIconRetryTimer.
void RetryAddingNotifyIcon() noexcept;
// For kNotifyIconAnswered: the taskbar's answer to the call of that number.
void OnNotifyIconAnswered(bool taken, LPARAM callNumber) noexcept;

// Explorer's broadcast when it has made the taskbar.
UINT TaskbarCreatedMessage() noexcept;

// Receives (NIM_ADD, NIM_MODIFY or NIM_DELETE, the record) and answers as the shell would, on the worker
// that makes the call. When set, it stands in for the shell in the calls asked from then on.
using NotifyIconHook = std::function<BOOL(DWORD, const NOTIFYICONDATAW&)>;
void SetNotifyIconHook(NotifyIconHook hook);

}  // namespace pintaro
