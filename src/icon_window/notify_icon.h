#pragma once
// The icon in the taskbar's notification area.

namespace pintaro {

// Adds the notification-area icon once, with the tip "ぴんたろ".
void AddNotifyIcon() noexcept;
// Removes it, if AddNotifyIcon added it.
void RemoveNotifyIcon() noexcept;
bool NotifyIconAdded() noexcept;

}  // namespace pintaro
