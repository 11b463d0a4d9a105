#pragma once
// Start-up and orderly end of the program.
#include <string_view>

namespace pintaro {

class FrmMain;

// The first instance's icon window, from its creation to the end of ShutDown; null otherwise.
FrmMain* MainForm() noexcept;

// The process entry. The first instance sets everything up and opens the pictures named on its
// command line; returns with the program running on window messages. A later start hands its
// command line to the running instance and returns with no window left.
void Main();

// Start-up of the first instance with the given command-line argument string.
void RunFirstInstance(std::wstring_view commandArguments);

// A later start: a hidden icon window hands the command-line argument string over to the running
// instance, then goes. Nothing of the first instance's set-up happens. True when it was accepted;
// otherwise the user has been told that the running instance did not answer.
bool RunSecondInstance(std::wstring_view commandArguments);

// Undoes the start-up in a fixed order; the icon window is destroyed last.
void ShutDown();

// Objects of windows destroyed by ShutDown are kept until the message loop has ended, as handlers
// may still be running on them; this frees them.
void ReleaseEndedWindows() noexcept;

// The screen's twips (1/1440 inch) per pixel across: 15 at 96 dots per inch.
double TwipsPerPixel() noexcept;

}  // namespace pintaro
