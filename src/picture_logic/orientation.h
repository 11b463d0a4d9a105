#pragma once
// The way up a photo was taken: the orientation a camera records in a JPEG's Exif segment, and the
// turn that makes the stored pixels upright. No Windows header here: built, tested and fuzzed natively.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "picture_logic/fit.h"
#include "picture_logic/image.h"

namespace pintaro {

// Exif's orientation: 1 as stored; 2 mirrored; 3 turned half round; 4 mirrored top to bottom; 5 mirrored
// along the diagonal; 6 to be turned a quarter clockwise; 7 mirrored along the other diagonal; 8 to be
// turned a quarter anticlockwise.
inline constexpr int kAsStored = 1;

// The orientation that an APP1 segment's data (after its length) records in IFD0's tag 0x0112, in either
// byte order; kAsStored for anything else: no Exif, a damaged or cut segment, offsets outside it, a
// value that is none of the eight. Reads each byte once at most, and never the IFD chain.
int ExifOrientation(const std::uint8_t* segment, std::size_t size) noexcept;

// The orientation of a JPEG file's first Exif segment before its first scan; kAsStored without one.
// Follows the markers as libjpeg does, within the bytes given.
int JpegOrientation(const std::uint8_t* file, std::size_t size) noexcept;

// Orientations 5 to 8 swap the sides.
constexpr bool SwapsSides(int orientation) noexcept { return orientation >= 5 && orientation <= 8; }
constexpr Size UprightSize(Size stored, int orientation) noexcept {
  return SwapsSides(orientation) ? Size{stored.height, stored.width} : stored;
}

// The picture turned upright, its pixels from the pool when one is given; the stored one itself for
// kAsStored or an orientation that is none of the eight; nothing without memory for a turned copy.
std::optional<Image32> TurnedUpright(Image32 stored, int orientation,
                                     const std::shared_ptr<PixelBufferPool>& pool = nullptr) noexcept;

}  // namespace pintaro
