#pragma once
// Messages the program posts to its own windows.
#include <windows.h>

namespace pintaro {

// To the icon window: open the pictures of the drops and hand-offs that wait, in the order they came.
inline constexpr UINT kOpenWaitingPictures = WM_APP + 1;

}  // namespace pintaro
