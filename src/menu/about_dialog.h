#pragma once
// What the main menu tells about the program: the version dialog and the help document.

namespace pintaro {

// Shows the version dialog and returns when it has closed. While it is open the program's other
// windows take no input. Every opening builds it afresh.
void ShowAboutDialog();

// Opens Readme.html from the program's folder with whatever the user's system opens HTML with.
void OpenHelp();

}  // namespace pintaro
