#pragma once
// The program's pixels as a GDI bitmap (a top-down 32-bit DIB section).
#include <windows.h>

#include <cstddef>
#include <optional>

#include "win32/handles.h"
#include "picture_logic/image.h"

namespace pintaro {

UniqueBitmap CreateBitmapFromImage(const Image32& image) noexcept;

// The pixels of a packed DIB (a header, its colours, then the pixels, as the clipboard's CF_DIB holds
// them) of any format GDI draws; nothing when it is damaged or too large to hold.
std::optional<Image32> ImageFromPackedDib(const void* dib, std::size_t size) noexcept;

// Width and height of a bitmap, or 0 x 0 when there is none.
SIZE BitmapSize(HBITMAP bitmap) noexcept;

}  // namespace pintaro
