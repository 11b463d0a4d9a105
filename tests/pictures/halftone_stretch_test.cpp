#include "pictures/halftone_stretch.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pintaro {
namespace {

std::uint32_t Grey(std::uint32_t v) { return 0xFF000000u | v << 16 | v << 8 | v; }
std::uint32_t Blue(std::uint32_t px) { return px & 0xFF; }

Image32 Make(int w, int h) { return std::move(*Image32::Allocate(w, h)); }

Image32 Stretch(const Image32& src, int dw, int dh) {
  Image32 dst = Make(dw, dh);
  HalftoneStretch(dst.view(), 0, 0, dw, dh, src.view(), 0, 0, src.width(), src.height());
  return dst;
}

Image32 Checkerboard(int w, int h) {
  Image32 image = Make(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.at(x, y) = Grey((x + y) % 2 ? 255 : 0);
  return image;
}

TEST(HalftoneStretch, CheckerboardReducesToGrey) {
  const Image32 board = Checkerboard(640, 480);
  for (const auto& [w, h] : {std::pair{160, 120}, std::pair{320, 240}, std::pair{100, 77}}) {
    const Image32 out = Stretch(board, w, h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const int v = static_cast<int>(Blue(out.at(x, y)));
        ASSERT_NEAR(v, 128, 12) << w << "x" << h << " at " << x << "," << y;
      }
    }
  }
}

TEST(HalftoneStretch, ExactAreaAveragesOnSmallCases) {
  // 3 pixels into 2: the middle pixel is split half and half.
  Image32 row = Make(3, 1);
  row.at(0, 0) = Grey(0);
  row.at(1, 0) = Grey(90);
  row.at(2, 0) = Grey(240);
  const Image32 two = Stretch(row, 2, 1);
  EXPECT_EQ(Blue(two.at(0, 0)), 30u);   // (0 * 1 + 90 * 0.5) / 1.5
  EXPECT_EQ(Blue(two.at(1, 0)), 190u);  // (90 * 0.5 + 240 * 1) / 1.5

  // 2 x 2 into 1: the plain mean, rounded to nearest.
  Image32 square = Make(2, 2);
  square.at(0, 0) = Grey(10);
  square.at(1, 0) = Grey(20);
  square.at(0, 1) = Grey(30);
  square.at(1, 1) = Grey(41);
  EXPECT_EQ(Blue(Stretch(square, 1, 1).at(0, 0)), 25u);  // 101 / 4 = 25.25

  // Channels are averaged separately and alpha with them.
  Image32 two_colours = Make(2, 1);
  two_colours.at(0, 0) = 0xFF0000FFu;
  two_colours.at(1, 0) = 0x00FF0000u;
  EXPECT_EQ(Stretch(two_colours, 1, 1).at(0, 0), 0x80800080u);
}

TEST(HalftoneStretch, ReductionKeepsTheMeanOfTheWholePicture) {
  Image32 noise = Make(997, 601);
  std::srand(7);
  std::uint64_t sum = 0;
  for (int y = 0; y < noise.height(); ++y)
    for (int x = 0; x < noise.width(); ++x) {
      const auto v = static_cast<std::uint32_t>(std::rand() % 256);
      noise.at(x, y) = Grey(v);
      sum += v;
    }
  const Image32 out = Stretch(noise, 160, 96);
  std::uint64_t outSum = 0;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) outSum += Blue(out.at(x, y));
  const double inMean = static_cast<double>(sum) / (997.0 * 601.0);
  const double outMean = static_cast<double>(outSum) / (160.0 * 96.0);
  EXPECT_NEAR(outMean, inMean, 0.6);
}

TEST(HalftoneStretch, SameSizeCopiesExactly) {
  const Image32 board = Checkerboard(7, 5);
  const Image32 out = Stretch(board, 7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(out.at(x, y), board.at(x, y));
}

TEST(HalftoneStretch, EnlargementIsSmoothWithoutBlocks) {
  Image32 ramp = Make(4, 1);
  for (int x = 0; x < 4; ++x) ramp.at(x, 0) = Grey(static_cast<std::uint32_t>(x * 80));
  const Image32 wide = Stretch(ramp, 64, 1);
  // Monotone, never a run of more than a few equal pixels between the ends, and no jump bigger
  // than a small step: a nearest-neighbour enlargement would give four flat blocks of 16.
  int longestRun = 1, run = 1;
  for (int x = 1; x < 64; ++x) {
    const int prev = static_cast<int>(Blue(wide.at(x - 1, 0)));
    const int cur = static_cast<int>(Blue(wide.at(x, 0)));
    ASSERT_GE(cur, prev);
    ASSERT_LE(cur - prev, 12) << "jump at " << x;
    run = cur == prev ? run + 1 : 1;
    if (x > 8 && x < 56) longestRun = std::max(longestRun, run);
  }
  EXPECT_LE(longestRun, 2);
  EXPECT_EQ(Blue(wide.at(0, 0)), 0u);
  EXPECT_EQ(Blue(wide.at(63, 0)), 240u);
}

TEST(HalftoneStretch, SubRectanglesAndClipping) {
  Image32 src = Make(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.at(x, y) = Grey(x < 2 && y < 2 ? 200 : 10);
  Image32 dst = Make(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) dst.at(x, y) = Grey(99);
  // The top-left 2 x 2 quarter into one pixel at (1, 1); a rectangle hanging off the edge is cut.
  HalftoneStretch(dst.view(), 1, 1, 1, 1, src.view(), 0, 0, 2, 2);
  EXPECT_EQ(Blue(dst.at(1, 1)), 200u);
  EXPECT_EQ(Blue(dst.at(0, 0)), 99u);
  HalftoneStretch(dst.view(), 2, 2, 4, 4, src.view(), 0, 0, 4, 4);
  EXPECT_EQ(Blue(dst.at(2, 2)), 200u);
  EXPECT_EQ(Blue(dst.at(1, 2)), 99u);
  // Empty rectangles change nothing.
  HalftoneStretch(dst.view(), 0, 0, 0, 3, src.view(), 0, 0, 4, 4);
  HalftoneStretch(dst.view(), 0, 0, 3, 3, src.view(), 5, 5, 4, 4);
  EXPECT_EQ(Blue(dst.at(0, 0)), 99u);
}

TEST(HalftoneStretch, ExtremeShapes) {
  const Image32 line = Checkerboard(1000, 3);
  const Image32 out = Stretch(line, 160, 1);
  for (int x = 0; x < 160; ++x) EXPECT_NEAR(static_cast<int>(Blue(out.at(x, 0))), 128, 30);
  const Image32 dot = Stretch(Checkerboard(1, 1), 160, 160);
  EXPECT_EQ(dot.at(159, 159), dot.at(0, 0));
}

TEST(Image32, RefusesWhatCannotFit) {
  EXPECT_FALSE(Image32::Allocate(65535, 65535));
  EXPECT_FALSE(Image32::Allocate(0, 10));
  EXPECT_FALSE(Image32::Allocate(-1, 10));
  EXPECT_FALSE(FitsDecodeLimit(kMaxPictureSide + 1, 1));
  EXPECT_TRUE(Image32::Allocate(4000, 3000));
}

}  // namespace
}  // namespace pintaro
