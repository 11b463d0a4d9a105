#pragma once
// What the whole program shares with every window: the running icon window, the orderly end and
// the screen's unit.

namespace pintaro {

class IconWindow;

// The first instance's icon window, from its creation to the end of ShutDown; null otherwise.
IconWindow* TheIconWindow() noexcept;

// Undoes the start-up in a fixed order; the icon window is destroyed last. Runs once per start.
void ShutDown();

// True from the moment ShutDown begins until the program starts again. From then on nothing opens,
// renders or creates a window: every loop that opens or renders one picture after another checks this
// after each step, as each step may let messages run, and with them the end of the program.
bool ProgramEnded() noexcept;

// A quit request from outside (met while windows of the program still live) ends the program through
// ShutDown, as the exit command does.
void EndOnQuitRequest() noexcept;

// The screen's twips (1/1440 inch) per pixel across: 15 at 96 dots per inch.
double TwipsPerPixel() noexcept;

}  // namespace pintaro
