#pragma once
// The resolution of the screen a window is on, for what the program draws at the size of the screen's
// text and icons rather than in pixels: the icon window.
#include <windows.h>

namespace pintaro {

// Dots per inch of the window's screen: per screen from Windows 10 on, the system's before.
UINT DpiOf(HWND window) noexcept;

// A length given at 96 dots per inch, at the dpi given.
constexpr int ScaledForDpi(int length, UINT dpi) noexcept { return static_cast<int>((length * dpi + 48) / 96); }

}  // namespace pintaro
