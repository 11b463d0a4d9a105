#pragma once
// The icon in the taskbar's notification area.

namespace pintaro {

// Adds the notification-area icon once, with the tip "ぴんたろ".
void StartShell() noexcept;
// Removes it, if StartShell added it.
void StopShell() noexcept;
bool TrayIconAdded() noexcept;

}  // namespace pintaro
