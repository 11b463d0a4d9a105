#pragma once
// A hover tip over a whole window.
#include <windows.h>

#include "win32/handles.h"

namespace pintaro {

// The common controls, loaded on first use: the program starts without them, as its first windows have
// no tip until the pointer comes over them.
HMODULE CommonControls() noexcept;

// A tip control for the owner window whose tip covers the whole window. It is not created topmost:
// the control puts itself on top when it shows, and a topmost owned window would keep the owner
// out of the topmost band.
UniqueWindow CreateWindowToolTip(HWND owner, const wchar_t* text);

// Changes the tip's text; the control copies it.
void SetWindowToolTipText(HWND toolTip, HWND owner, const wchar_t* text);

}  // namespace pintaro
