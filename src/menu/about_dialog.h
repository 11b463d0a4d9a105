#pragma once
// What the main menu tells about the program: the version dialog and the help document.

#include <windows.h>

namespace pintaro {

// Shows the version dialog and returns when it has closed. While it is open the program's other
// windows take no input, those made meanwhile too. Every opening builds it afresh; while one is open,
// it comes to the front instead.
void ShowAboutDialog();

// The open version dialog, or null.
HWND AboutDialogWindow() noexcept;

// Opens Readme.html from the program's folder with whatever the user's system opens HTML with.
void OpenHelp();

}  // namespace pintaro
