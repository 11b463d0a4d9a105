#pragma once
// Layered-window opacity and colour key: the only place that touches them.
#include <windows.h>

namespace pintaro {

// Makes the window layered, keeping its other extended styles; alpha 0 gives 128.
void SetLayered(HWND hwnd, int alpha) noexcept;
// Window-wide opacity, clamped to 1..255.
void SetAlpha(HWND hwnd, int alpha) noexcept;
// Pixels of exactly the key colour become transparent; alpha is clamped but has no effect.
void SetColorKey(HWND hwnd, COLORREF key, int alpha) noexcept;

constexpr int ClampOpacity(int alpha) noexcept { return alpha < 1 ? 1 : (alpha > 255 ? 255 : alpha); }

}  // namespace pintaro
