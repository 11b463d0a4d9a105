#include "picture_logic/halftone_stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace pintaro {
namespace {

using Pixels = std::vector<std::uint32_t>;

// Pixels in one row, or in two, scaled into one row of the width.
Pixels Stretch(const Pixels& pixels, int width, int rows = 1) {
  const int sw = static_cast<int>(pixels.size()) / rows;
  Image32 src = *Image32::Allocate(sw, rows), dst = *Image32::Allocate(width, 1);
  std::copy(pixels.begin(), pixels.end(), src.data());
  HalftoneStretch(dst.view(), 0, 0, width, 1, src.view(), 0, 0, sw, rows);
  return Pixels(dst.data(), dst.data() + width);
}

// (A copy at the same size, and every result within the source's range: the resampler's fuzz target.)
TEST(HalftoneStretch, AReductionIsTheExactAreaWeightedAverageAndAnEnlargementIsInterpolated) {
  // In one byte: 3 into 2, the middle pixel split half and half, (0 + 90 / 2) / 1.5 and (90 / 2 + 240) / 1.5;
  // 5 into 3 in fifths: (0 * 3 + 150 * 2) / 5, (150 + 30 * 3 + 200) / 5, (200 * 2 + 60 * 3) / 5; 2 x 2 into
  // 1: the mean rounded to nearest, 101 / 4. Each byte, alpha too, on its own.
  EXPECT_EQ(Stretch({0, 90, 240}, 2), (Pixels{30, 190}));
  EXPECT_EQ(Stretch({0, 150, 30, 200, 60}, 3), (Pixels{60, 88, 116}));
  EXPECT_EQ(Stretch({10, 20, 30, 41}, 1, 2), (Pixels{25}));
  EXPECT_EQ(Stretch({0xFF0000FFu, 0x00FF0000u}, 1), (Pixels{0x80800080u}));
  // From end to end, in steps: nearest neighbour would give four flat blocks of 16.
  const Pixels wide = Stretch({0, 80, 160, 240}, 64);
  EXPECT_EQ(std::pair(wide.front(), wide.back()), std::pair(0u, 240u));
  EXPECT_EQ(std::ranges::adjacent_find(wide, [](auto a, auto b) { return b < a || b - a > 6; }), wide.end());
  EXPECT_FALSE(Image32::Allocate(65535, 65535)) << "more than 2^28 pixels";
  // A source rectangle that runs past INT_MAX is the rest of the picture (other rectangles: the fuzzer).
  Image32 grey = *Image32::Allocate(4, 4), dst = *Image32::Allocate(8, 8);
  std::fill(grey.data(), grey.data() + 16, 0xFF4D4D4Du);
  HalftoneStretch(dst.view(), 6, 6, 2, 2, grey.view(), 1, 1, INT_MAX, INT_MAX);
  EXPECT_EQ(std::pair(dst.at(5, 5), dst.at(7, 7)), std::pair(0u, 0xFF4D4D4Du));
}

}  // namespace
}  // namespace pintaro
