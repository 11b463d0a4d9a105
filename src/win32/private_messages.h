#pragma once
// Messages the program posts to its own windows.
#include <windows.h>

namespace pintaro {

// To the icon window: open the pictures of the drops and hand-offs that wait, in the order they came.
inline constexpr UINT kOpenWaitingPictures = WM_APP + 1;
// To the icon window: picture windows were destroyed from outside (with a desktop window they were
// pinned into) and are to be made again.
inline constexpr UINT kPictureWindowsLost = WM_APP + 2;
// To the version dialog: the dialog manager has handled a change of DPI.
inline constexpr UINT kRefitLinks = WM_APP + 3;

}  // namespace pintaro
