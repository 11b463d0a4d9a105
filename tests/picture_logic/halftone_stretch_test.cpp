#include "picture_logic/halftone_stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace pintaro {
namespace {

using Greys = std::vector<std::uint32_t>;

// Grey pixels in one row, or in two, scaled into one row of the width; the grey levels of the result.
Greys Stretch(const Greys& greys, int width, int rows = 1) {
  const int sw = static_cast<int>(greys.size()) / rows;
  Image32 src = *Image32::Allocate(sw, rows), dst = *Image32::Allocate(width, 1);
  for (std::size_t i = 0; i < greys.size(); ++i) src.data()[i] = 0xFF000000u | greys[i] * 0x10101u;
  HalftoneStretch(dst.view(), 0, 0, width, 1, src.view(), 0, 0, sw, rows);
  Greys out;
  for (int i = 0; i < width; ++i) out.push_back(dst.data()[i] & 0xFF);
  return out;
}

TEST(HalftoneStretch, AReductionIsTheExactAreaWeightedAverageAndAnEnlargementIsInterpolated) {
  // 3 into 2: the middle pixel split half and half, (0 + 90 / 2) / 1.5 and (90 / 2 + 240) / 1.5; 5 into 3
  // in fifths: (0 * 3 + 150 * 2) / 5, (150 + 30 * 3 + 200) / 5, (200 * 2 + 60 * 3) / 5; 2 x 2 into 1: the
  // mean rounded to nearest, 101 / 4; the same size: a copy.
  EXPECT_EQ(Stretch({0, 90, 240}, 2), (Greys{30, 190}));
  EXPECT_EQ(Stretch({0, 150, 30, 200, 60}, 3), (Greys{60, 88, 116}));
  EXPECT_EQ(Stretch({10, 20, 30, 41}, 1, 2), (Greys{25}));
  EXPECT_EQ(Stretch({0, 255, 7}, 3), (Greys{0, 255, 7}));
  Image32 colours = *Image32::Allocate(2, 1), one = *Image32::Allocate(1, 1);
  colours.at(0, 0) = 0xFF0000FFu;
  colours.at(1, 0) = 0x00FF0000u;
  HalftoneStretch(one.view(), 0, 0, 1, 1, colours.view(), 0, 0, 2, 1);
  EXPECT_EQ(one.at(0, 0), 0x80800080u) << "each byte, alpha too, on its own";

  const Greys wide = Stretch({0, 80, 160, 240}, 64);
  EXPECT_TRUE(wide.front() == 0 && wide.back() == 240) << "from end to end";
  for (int x = 1; x < 64; ++x)  // nearest neighbour would give four flat blocks of 16
    ASSERT_TRUE(wide[x] >= wide[x - 1] && wide[x] - wide[x - 1] <= 6) << "at " << x;
  EXPECT_FALSE(Image32::Allocate(65535, 65535)) << "more than 2^28 pixels";
  // A source rectangle that runs past INT_MAX is the rest of the picture (other rectangles: the fuzzer).
  Image32 grey = *Image32::Allocate(4, 4), dst = *Image32::Allocate(8, 8);
  std::fill(grey.data(), grey.data() + 16, 0xFF4D4D4Du);
  HalftoneStretch(dst.view(), 6, 6, 2, 2, grey.view(), 1, 1, INT_MAX, INT_MAX);
  EXPECT_EQ(std::pair(dst.at(5, 5), dst.at(7, 7)), std::pair(0u, 0xFF4D4D4Du));
}

}  // namespace
}  // namespace pintaro
