#include "win32/dpi.h"

#include "win32/system_libraries.h"

namespace pintaro {

UINT DpiOf(HWND window) noexcept {
  static const auto forWindow = LibraryFunction<UINT WINAPI(HWND)>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
  if (const UINT dpi = forWindow && window ? forWindow(window) : 0) return dpi;
  // The system's scale without a screen's device context, which would cost the start-up a round.
  static const auto forSystem = LibraryFunction<UINT WINAPI()>(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem");
  if (const UINT dpi = forSystem && !window ? forSystem() : 0) return dpi;
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace pintaro
