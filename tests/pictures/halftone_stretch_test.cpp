#include "pictures/halftone_stretch.h"

#include <gtest/gtest.h>

#include <vector>

namespace pintaro {
namespace {

// A picture of the given grey levels, row by row; the blue byte of a pixel.
Image32 Greys(int w, int h, const std::vector<std::uint32_t>& greys) {
  Image32 image = std::move(*Image32::Allocate(w, h));
  for (int i = 0; i < w * h; ++i) image.data()[i] = 0xFF000000u | greys[i] << 16 | greys[i] << 8 | greys[i];
  return image;
}
int Blue(std::uint32_t px) { return static_cast<int>(px & 0xFF); }

Image32 Stretch(const Image32& src, int dw, int dh) {
  Image32 dst = std::move(*Image32::Allocate(dw, dh));
  HalftoneStretch(dst.view(), 0, 0, dw, dh, src.view(), 0, 0, src.width(), src.height());
  return dst;
}

TEST(HalftoneStretch, AReductionIsTheExactAreaWeightedAverage) {
  // 3 pixels into 2: the middle pixel is split half and half; 5 into 3 in fifths.
  const Image32 two = Stretch(Greys(3, 1, {0, 90, 240}), 2, 1);
  EXPECT_EQ(Blue(two.at(0, 0)), 30);   // (0 * 1 + 90 * 0.5) / 1.5
  EXPECT_EQ(Blue(two.at(1, 0)), 190);  // (90 * 0.5 + 240 * 1) / 1.5
  const Image32 three = Stretch(Greys(5, 1, {0, 150, 30, 200, 60}), 3, 1);
  EXPECT_EQ(Blue(three.at(0, 0)), 60);   // (0 * 3 + 150 * 2) / 5
  EXPECT_EQ(Blue(three.at(1, 0)), 88);   // (150 * 1 + 30 * 3 + 200 * 1) / 5
  EXPECT_EQ(Blue(three.at(2, 0)), 116);  // (200 * 2 + 60 * 3) / 5
  // 2 x 2 into 1: the plain mean, rounded to nearest (101 / 4 = 25.25).
  EXPECT_EQ(Blue(Stretch(Greys(2, 2, {10, 20, 30, 41}), 1, 1).at(0, 0)), 25);
  Image32 colours = std::move(*Image32::Allocate(2, 1));
  colours.at(0, 0) = 0xFF0000FFu;
  colours.at(1, 0) = 0x00FF0000u;
  EXPECT_EQ(Stretch(colours, 1, 1).at(0, 0), 0x80800080u);
  const Image32 board = Greys(3, 2, {0, 255, 0, 255, 0, 255});
  const Image32 same = Stretch(board, 3, 2);
  EXPECT_TRUE(std::equal(same.data(), same.data() + 6, board.data())) << "the same size copies exactly";
}

TEST(HalftoneStretch, AnEnlargementIsInterpolated) {
  const Image32 wide = Stretch(Greys(4, 1, {0, 80, 160, 240}), 64, 1);
  for (int x = 1; x < 64; ++x) {  // nearest neighbour would give four flat blocks of 16
    ASSERT_GE(Blue(wide.at(x, 0)), Blue(wide.at(x - 1, 0)));
    ASSERT_LE(Blue(wide.at(x, 0)) - Blue(wide.at(x - 1, 0)), 6) << "jump at " << x;
  }
  EXPECT_EQ(Blue(wide.at(0, 0)), 0);
  EXPECT_EQ(Blue(wide.at(63, 0)), 240);

  EXPECT_FALSE(Image32::Allocate(65535, 65535)) << "more than 2^28 pixels";
}

}  // namespace
}  // namespace pintaro
