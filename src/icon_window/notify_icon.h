#pragma once
// The icon in the taskbar's notification area.

namespace pintaro {

// Adds the notification-area icon once, with the tip "ぴんたろ".
void AddNotifyIcon() noexcept;
// Removes it, if AddNotifyIcon added it.
void RemoveNotifyIcon() noexcept;
bool NotifyIconAdded() noexcept;
// Adds the icon again after the taskbar was re-created (Explorer restarted), if it was added before.
void RestoreNotifyIcon() noexcept;

// The callback message the icon sends to the icon window; the mouse message is in lParam's low word.
inline constexpr unsigned kNotifyIconCallback = 0x200;

}  // namespace pintaro
