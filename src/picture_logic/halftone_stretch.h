#pragma once
// The program's own halftone stretch over 32-bit pixels. No Windows header here.
#include <optional>

#include "picture_logic/image.h"

namespace pintaro {

// Scales the source rectangle (sx, sy, sw, sh) of src into the destination rectangle
// (dx, dy, dw, dh) of dst. Along an axis that shrinks, each destination pixel is the exact
// area-weighted average of the source pixels it covers (rounded to nearest); along an axis that
// grows, pixels are interpolated linearly between the two nearest source pixels. All four bytes of
// a pixel are treated alike. Parts of the destination rectangle outside dst are not written; the
// source rectangle is cut to src. Empty rectangles do nothing. Any int arguments are safe: the work
// and the memory it takes follow the part of the destination inside dst, not the rectangles given.
void HalftoneStretch(ImageView dst, int dx, int dy, int dw, int dh, ConstImageView src, int sx, int sy, int sw, int sh);

// The picture scaled to the given size with the halftone stretch, or nothing when memory is short.
std::optional<Image32> ScalePicture(const Image32& source, int width, int height);

}  // namespace pintaro
