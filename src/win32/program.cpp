#include "win32/program.h"

namespace pintaro {

namespace {
HWND g_iconWindow = nullptr;
bool g_ended = false;
void (*g_shutDown)() = nullptr;
}  // namespace

HWND IconWindowHandle() noexcept { return g_iconWindow; }
void SetIconWindowHandle(HWND window) noexcept { g_iconWindow = window; }

bool ProgramEnded() noexcept { return g_ended; }
void SetProgramEnded(bool ended) noexcept { g_ended = ended; }

void ShutDown() {
  if (g_shutDown) g_shutDown();
}
void SetShutDown(void (*shutDown)()) noexcept { g_shutDown = shutDown; }

void StartEndTimer() noexcept {
  if (g_iconWindow) SetTimer(g_iconWindow, kEndTimer, kEndTimerInterval, nullptr);
}

// The screen's dots per inch as the program sees them stay what they were when it started (Windows
// changes them at the next sign-in): asked once, as a screen's device context costs a round.
double TwipsPerPixel() noexcept {
  static const double twips = [] {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return 1440.0 / (dpi > 0 ? dpi : 96);
  }();
  return twips;
}

}  // namespace pintaro
