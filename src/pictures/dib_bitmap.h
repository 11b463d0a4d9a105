#pragma once
// The program's pixels as a GDI bitmap (a top-down 32-bit DIB section).
#include <windows.h>

#include "win32/handles.h"
#include "pictures/image.h"

namespace pintaro {

UniqueBitmap CreateBitmapFromImage(const Image32& image) noexcept;

// Width and height of a bitmap, or 0 x 0 when there is none.
SIZE BitmapSize(HBITMAP bitmap) noexcept;

}  // namespace pintaro
