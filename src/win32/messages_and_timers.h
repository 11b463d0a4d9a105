#pragma once
// The program's own window messages and timers: every identifier in one list, so that no two collide.
#include <windows.h>

namespace pintaro {

// Messages the program posts to its own windows.

// To the icon window: open the pictures of the drops and hand-offs that wait, in the order they came.
inline constexpr UINT kOpenWaitingPictures = WM_APP + 1;
// To the icon window: picture windows were destroyed from outside (with a desktop window they were
// pinned into) and are to be made again.
inline constexpr UINT kPictureWindowsLost = WM_APP + 2;
// To the version dialog: the dialog manager has handled a change of DPI.
inline constexpr UINT kRefitLinks = WM_APP + 3;
// To a picture window waiting to be pinned, from the worker that asked the desktop window: the question's
// number in wParam, and in lParam the desktop window that answered, or null.
inline constexpr UINT kDesktopAnswered = WM_APP + 5;
// To the icon window, from the worker that told the taskbar of the notification icon: whether the taskbar
// took it in wParam, the call's number in lParam.
inline constexpr UINT kNotifyIconAnswered = WM_APP + 6;
// Posted to the icon window: opens the main menu at the pointer, once the icon window is in front.
inline constexpr UINT kOpenMainMenu = WM_APP + 7;

// The message the notification icon sends the icon window, the mouse message in lParam's low word. Its
// value is the program's interface with the taskbar and stays what it always was, although it equals
// WM_MOUSEMOVE: the icon window handles both as one. A move of the pointer over the window carries the
// pointer's x in lParam's low word, and the window never captures the mouse, so that x lies inside the
// window: 32 pixels at 100 %, 160 at 500 %, the largest scale Windows offers. The only mouse messages of the icon acted
// on, WM_LBUTTONDBLCLK (0x203) and WM_RBUTTONUP (0x205), are larger, and a move is never taken for a click.
inline constexpr UINT kNotifyIconCallback = 0x200;

// Timers of the icon window.

// Its tick runs ShutDown: the exit command ends the program a moment later, once its menu has closed.
inline constexpr UINT_PTR kEndTimer = 1;
// Adds the notification icon again while the taskbar has not taken it.
inline constexpr UINT_PTR kNotifyIconRetryTimer = 2;
// Looks for the desktop window's move after the monitors changed.
inline constexpr UINT_PTR kDesktopWatchTimer = 3;

// Timers of a picture window.

// Ends the wait for a copy at the picture's own size whose file does not answer.
inline constexpr UINT_PTR kCopyDeadlineTimer = 1;
// Shows an animated GIF's next frame.
inline constexpr UINT_PTR kAnimationTimer = 2;

}  // namespace pintaro
