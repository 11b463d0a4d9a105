#pragma once
// What the whole program shares, on every floor: its icon window, whether it has ended, the requests
// to end it, and the screen's unit. The start-up and the end set them.
#include <windows.h>

namespace pintaro {

// The running icon window, from its creation to the end of ShutDown; null otherwise.
HWND IconWindowHandle() noexcept;
void SetIconWindowHandle(HWND window) noexcept;

// True from the moment ShutDown begins until the program starts again. From then on nothing opens,
// renders or creates a window: every loop that opens or renders one picture after another checks this
// after each step, as each step may let messages run, and with them the end of the program.
bool ProgramEnded() noexcept;
void SetProgramEnded(bool ended) noexcept;

// Undoes the start-up in a fixed order; the icon window is destroyed last. Runs once per start: what
// the start-up gave SetShutDown.
void ShutDown();
void SetShutDown(void (*shutDown)()) noexcept;

// Starts the icon window's end timer (kEndTimer), whose tick runs ShutDown: the exit command ends the
// program a moment later, once its menu has closed.
inline constexpr UINT kEndTimerInterval = 250;
void StartEndTimer() noexcept;

// The screen's twips (1/1440 inch) per pixel across: 15 at 96 dots per inch.
double TwipsPerPixel() noexcept;

}  // namespace pintaro
