#pragma once
// The icon in the taskbar's notification area.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>

#include "win32/handles.h"
#include "win32/messages_and_timers.h"  // kNotifyIconCallback, the message the icon sends the icon window
#include "win32/worker.h"

namespace pintaro {

// The running program's icon in the notification area.
struct NotifyIconState {
  bool added = false;  // from AddNotifyIcon to RemoveNotifyIcon
  bool shown = false;  // the taskbar took it, as its latest answer said
  int addTries = 0;
  NOTIFYICONDATAW record{};
  std::shared_ptr<UniqueIcon> smallIcon;  // shared with the calls to the shell that still name it
  // The shell may keep a call waiting for seconds: the calls go to it on a worker, one at a time, and the
  // answers come back to the icon window as kNotifyIconAnswered.
  CallsInTurn shell{kNotifyIconAnswered};
  WPARAM latestShow = 0;  // the number of the latest call that adds or changes the icon
};

// Adds the notification-area icon once, with the tip "ぴんたろ", without waiting for the shell; when the
// taskbar does not take it, tries again for a minute on the icon window's retry timer.
void AddNotifyIcon() noexcept;
// Removes it, if AddNotifyIcon added it.
void RemoveNotifyIcon() noexcept;
// After the taskbar was made again (Explorer restarted) or the screen's scale changed, tells the taskbar
// the icon again at the new scale, if it was added before.
void RestoreNotifyIcon() noexcept;
// For the icon window's retry timer, kNotifyIconRetryTimer.
void RetryAddingNotifyIcon() noexcept;
// For the icon window's message kNotifyIconAnswered: the shell has answered the call of that number.
void OnNotifyIconAnswer(WPARAM callNumber) noexcept;

// Explorer's broadcast when it has made the taskbar.
UINT TaskbarCreatedMessage() noexcept;

// Receives (NIM_ADD, NIM_MODIFY or NIM_DELETE, the record) and answers as the shell would, on the
// worker. When set, it stands in for the shell in the calls asked for from then on.
using NotifyIconHook = std::function<BOOL(DWORD, const NOTIFYICONDATAW&)>;
void SetNotifyIconHook(NotifyIconHook hook);

}  // namespace pintaro
