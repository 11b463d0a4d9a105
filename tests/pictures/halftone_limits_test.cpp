#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "pictures/halftone_stretch.h"

namespace pintaro {
namespace {

// One source colour everywhere, so every pixel written must have it, wherever the rectangles lie.
TEST(HalftoneStretchLimits, ExtremeRectanglesWriteExactlyTheirPartOfTheDestination) {
  struct Case {
    int dx, dy, dw, dh, sx, sy, sw, sh;
  };
  constexpr int kMax = INT_MAX;
  constexpr int kMin = INT_MIN;
  const Case cases[] = {
      {0, 0, kMax, kMax, 0, 0, 4, 4},                  // an enlargement far beyond the destination
      {-kMax + 4, -kMax + 3, kMax, kMax, 0, 0, 4, 4},  // only its far end reaches the destination
      {kMax - 2, 0, 5, 8, 0, 0, 4, 4},                 // starts beyond the destination
      {6, 6, 2, 2, 1, 1, kMax, kMax},                  // a source rectangle that runs past INT_MAX
      {-5, -5, 10, 10, -10, -10, kMax, kMax},
      {kMin, kMin, kMax, kMax, kMin, kMin, kMax, kMax},  // nothing in either picture
      {3, 3, kMax, kMax, kMax, kMax, 4, 4},
  };
  Image32 source = *Image32::Allocate(4, 4);
  std::fill(source.data(), source.data() + 16, 0xFF4D4D4Du);
  for (const Case& c : cases) {
    Image32 dst = *Image32::Allocate(8, 8);
    HalftoneStretch(dst.view(), c.dx, c.dy, c.dw, c.dh, source.view(), c.sx, c.sy, c.sw, c.sh);
    const bool sourceEmpty = std::int64_t{c.sx} + c.sw <= 0 || c.sx >= 4 || std::int64_t{c.sy} + c.sh <= 0 || c.sy >= 4;
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        const bool inside =
            !sourceEmpty && x >= c.dx && x < std::int64_t{c.dx} + c.dw && y >= c.dy && y < std::int64_t{c.dy} + c.dh;
        ASSERT_EQ(dst.at(x, y), inside ? 0xFF4D4D4Du : 0u) << "case " << &c - cases << " at " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace pintaro
