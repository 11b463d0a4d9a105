#pragma once
// What the whole program shares with every window: the running icon window, the orderly end and
// the screen's unit.

namespace pintaro {

class IconWindow;

// The first instance's icon window, from its creation to the end of ShutDown; null otherwise.
IconWindow* TheIconWindow() noexcept;

// Undoes the start-up in a fixed order; the icon window is destroyed last.
void ShutDown();

// The screen's twips (1/1440 inch) per pixel across: 15 at 96 dots per inch.
double TwipsPerPixel() noexcept;

}  // namespace pintaro
