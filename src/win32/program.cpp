#include "win32/program.h"

#include "win32/dpi.h"
#include "win32/messages_and_timers.h"

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

// The system's dots per inch stay what they were when the program started (Windows changes them at
// the next sign-in).
double TwipsPerPixel() noexcept {
  static const double twips = 1440.0 / DpiOf(nullptr);
  return twips;
}

}  // namespace pintaro
