// The Exif orientation read from any bytes, as a segment and as a JPEG file, and the turn upright: the
// orientation is one of the eight, read within the bytes; the turn gives the upright size, and the turn
// that undoes it gives back every pixel where it was.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "picture_logic/orientation.h"

using namespace pintaro;

namespace {

// The orientation that undoes each one: the quarter turns undo each other, the rest themselves.
constexpr int kUndoing[] = {0, 1, 2, 3, 4, 5, 8, 7, 6};

void CheckTurns(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return;
  const int width = data[0] % 7 + 1, height = data[1] % 5 + 1;
  Image32 picture = *Image32::Allocate(width, height);
  for (int i = 0; i < width * height; ++i) picture.data()[i] = static_cast<std::uint32_t>(i) * 2654435761u;
  for (int orientation = 1; orientation <= 8; ++orientation) {
    Image32 copy = *Image32::Allocate(width, height);
    std::copy(picture.data(), picture.data() + width * height, copy.data());
    const Image32 upright = *TurnedUpright(std::move(copy), orientation);
    FUZZ_CHECK((Size{upright.width(), upright.height()}) == UprightSize({width, height}, orientation));
    Image32 again = *Image32::Allocate(upright.width(), upright.height());
    std::copy(upright.data(), upright.data() + width * height, again.data());
    const Image32 back = *TurnedUpright(std::move(again), kUndoing[orientation]);
    FUZZ_CHECK(back.width() == width && std::equal(back.data(), back.data() + width * height, picture.data()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int segment = ExifOrientation(data, size), file = JpegOrientation(data, size);
  FUZZ_CHECK(segment >= 1 && segment <= 8 && file >= 1 && file <= 8);
  // Nothing is read beyond the bytes given: a copy of exactly their size, under the sanitizer, reads the same.
  const std::vector<std::uint8_t> exact(data, data + size);
  FUZZ_CHECK(ExifOrientation(exact.data(), exact.size()) == segment);
  FUZZ_CHECK(JpegOrientation(exact.data(), exact.size()) == file);
  CheckTurns(data, size);
  return 0;
}
