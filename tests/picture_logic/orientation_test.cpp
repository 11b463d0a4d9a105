#include "picture_logic/orientation.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace pintaro {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An Exif segment's data whose IFD0 holds one entry: the tag, its type, its count and its value.
Bytes Exif(bool big, std::uint16_t value, std::uint16_t tag = 0x0112, std::uint16_t type = 3, std::uint32_t count = 1) {
  Bytes out{'E', 'x', 'i', 'f', 0, 0};
  const auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * (big ? bytes - 1 - i : i))));
  };
  out.push_back(big ? 'M' : 'I'), out.push_back(big ? 'M' : 'I');
  put(42, 2), put(8, 4), put(1, 2);  // IFD0 right after the header, one entry
  put(tag, 2), put(type, 2), put(count, 4), put(value, 2), put(0, 2);
  put(8, 4);  // the next IFD: IFD0 itself, a loop for a reader that follows the chain
  return out;
}

int Orientation(const Bytes& segment) { return ExifOrientation(segment.data(), segment.size()); }

// (Offsets and counts that lead outside the segment: the JPEG fuzz target, which reads Exif in every input.)
TEST(ExifOrientation, IfdZerosTagInEitherByteOrderAndAsStoredForAnythingElse) {
  for (const bool big : {false, true})
    for (std::uint16_t value = 1; value <= 8; ++value) EXPECT_EQ(Orientation(Exif(big, value)), value);
  const std::pair<const char*, Bytes> asStored[] = {
      {"no Exif", {'J', 'F', 'I', 'F', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0}},
      {"another tag", Exif(false, 6, 0x0110)},
      {"value 9", Exif(true, 9)},
      {"not a short", Exif(false, 6, 0x0112, 4)},
  };
  for (const auto& [what, segment] : asStored) EXPECT_EQ(Orientation(segment), 1) << what;
}

// A JPEG's first Exif segment before its scan counts.
TEST(ExifOrientation, AJpegsExifSegmentBeforeItsScan) {
  const Bytes exif = Exif(true, 6);
  Bytes file{0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F', 0xFF, 0xE1, 0, static_cast<std::uint8_t>(exif.size() + 2)};
  file.insert(file.end(), exif.begin(), exif.end());
  EXPECT_EQ(JpegOrientation(file.data(), file.size()), 6);
  file[3] = 0xDA;
  EXPECT_EQ(JpegOrientation(file.data(), file.size()), 1) << "after the scan";
}

// A picture of 3 x 2 pixels numbered row by row, turned upright for each orientation: the upright pixels
// row by row, as the Exif standard draws each (the count of 2 that no camera writes: as stored).
TEST(ExifOrientation, EachOrientationTurnsThePictureUpright) {
  const std::vector<std::uint32_t> upright[] = {{0, 1, 2, 3, 4, 5}, {2, 1, 0, 5, 4, 3}, {5, 4, 3, 2, 1, 0},
                                                {3, 4, 5, 0, 1, 2}, {0, 3, 1, 4, 2, 5}, {3, 0, 4, 1, 5, 2},
                                                {5, 2, 4, 1, 3, 0}, {2, 5, 1, 4, 0, 3}};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    Image32 stored = *Image32::Allocate(3, 2);
    std::iota(stored.data(), stored.data() + 6, 0u);
    const Image32 turned = *TurnedUpright(std::move(stored), orientation);
    EXPECT_EQ(std::pair(turned.width(), std::vector(turned.data(), turned.data() + 6)),
              std::pair(orientation < 5 ? 3 : 2, upright[orientation - 1]))
        << orientation;
  }
  const Bytes twice = Exif(false, 6, 0x0112, 3, 2);
  EXPECT_EQ(ExifOrientation(twice.data(), twice.size()), 1);
}

}  // namespace
}  // namespace pintaro
