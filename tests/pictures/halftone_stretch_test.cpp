#include "pictures/halftone_stretch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace pintaro {
namespace {

std::uint32_t Grey(std::uint32_t v) { return 0xFF000000u | v << 16 | v << 8 | v; }
int Blue(std::uint32_t px) { return static_cast<int>(px & 0xFF); }

Image32 Make(int w, int h, const std::function<std::uint32_t(int x, int y)>& grey) {
  Image32 image = std::move(*Image32::Allocate(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.at(x, y) = Grey(grey(x, y));
  return image;
}

// A picture of the given grey levels, row by row.
Image32 Greys(int w, int h, std::vector<std::uint32_t> greys) {
  return Make(w, h, [&](int x, int y) { return greys[static_cast<std::size_t>(y * w + x)]; });
}

Image32 Checkerboard(int w, int h) {
  return Make(w, h, [](int x, int y) { return (x + y) % 2 ? 255u : 0u; });
}

Image32 Stretch(const Image32& src, int dw, int dh) {
  Image32 dst = std::move(*Image32::Allocate(dw, dh));
  HalftoneStretch(dst.view(), 0, 0, dw, dh, src.view(), 0, 0, src.width(), src.height());
  return dst;
}

TEST(HalftoneStretch, ReductionAveragesACheckerboardToGreyAndKeepsTheMean) {
  const Image32 board = Checkerboard(640, 480);
  for (const auto& [w, h] : {std::pair{160, 120}, std::pair{320, 240}, std::pair{100, 77}}) {
    const Image32 out = Stretch(board, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_NEAR(Blue(out.at(x, y)), 128, 12) << w << "x" << h << " at " << x << "," << y;
  }
  const Image32 line = Stretch(Checkerboard(1000, 3), 160, 1);
  for (int x = 0; x < 160; ++x) EXPECT_NEAR(Blue(line.at(x, 0)), 128, 30);

  std::srand(7);
  std::uint64_t sum = 0;
  const Image32 noise = Make(997, 601, [&](int, int) {
    const auto v = static_cast<std::uint32_t>(std::rand() % 256);
    sum += v;
    return v;
  });
  const Image32 out = Stretch(noise, 160, 96);
  std::uint64_t outSum = 0;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) outSum += Blue(out.at(x, y));
  EXPECT_NEAR(static_cast<double>(outSum) / (160.0 * 96.0), static_cast<double>(sum) / (997.0 * 601.0), 0.6);
}

TEST(HalftoneStretch, ExactAreaAveragesOnSmallCases) {
  // 3 pixels into 2: the middle pixel is split half and half.
  const Image32 two = Stretch(Greys(3, 1, {0, 90, 240}), 2, 1);
  EXPECT_EQ(Blue(two.at(0, 0)), 30);   // (0 * 1 + 90 * 0.5) / 1.5
  EXPECT_EQ(Blue(two.at(1, 0)), 190);  // (90 * 0.5 + 240 * 1) / 1.5
  // 2 x 2 into 1: the plain mean, rounded to nearest (101 / 4 = 25.25).
  EXPECT_EQ(Blue(Stretch(Greys(2, 2, {10, 20, 30, 41}), 1, 1).at(0, 0)), 25);
  // Channels are averaged separately and alpha with them.
  Image32 colours = std::move(*Image32::Allocate(2, 1));
  colours.at(0, 0) = 0xFF0000FFu;
  colours.at(1, 0) = 0x00FF0000u;
  EXPECT_EQ(Stretch(colours, 1, 1).at(0, 0), 0x80800080u);
  // The same size copies exactly.
  const Image32 board = Checkerboard(7, 5);
  const Image32 same = Stretch(board, 7, 5);
  EXPECT_TRUE(std::equal(same.data(), same.data() + 35, board.data()));
}

TEST(HalftoneStretch, EnlargementIsSmoothWithoutBlocks) {
  const Image32 wide = Stretch(Greys(4, 1, {0, 80, 160, 240}), 64, 1);
  // Monotone, never a run of more than a few equal pixels between the ends, and no jump bigger
  // than a small step: a nearest-neighbour enlargement would give four flat blocks of 16.
  int longestRun = 1, run = 1;
  for (int x = 1; x < 64; ++x) {
    const int prev = Blue(wide.at(x - 1, 0));
    const int cur = Blue(wide.at(x, 0));
    ASSERT_GE(cur, prev);
    ASSERT_LE(cur - prev, 12) << "jump at " << x;
    run = cur == prev ? run + 1 : 1;
    if (x > 8 && x < 56) longestRun = std::max(longestRun, run);
  }
  EXPECT_LE(longestRun, 2);
  EXPECT_EQ(Blue(wide.at(0, 0)), 0);
  EXPECT_EQ(Blue(wide.at(63, 0)), 240);
  const Image32 dot = Stretch(Checkerboard(1, 1), 160, 160);
  EXPECT_EQ(dot.at(159, 159), dot.at(0, 0));
}

TEST(HalftoneStretch, SubRectanglesAndClipping) {
  const Image32 src = Make(4, 4, [](int x, int y) { return x < 2 && y < 2 ? 200u : 10u; });
  Image32 dst = Make(3, 3, [](int, int) { return 99u; });
  // The top-left 2 x 2 quarter into one pixel at (1, 1); a rectangle hanging off the edge is cut.
  HalftoneStretch(dst.view(), 1, 1, 1, 1, src.view(), 0, 0, 2, 2);
  EXPECT_EQ(Blue(dst.at(1, 1)), 200);
  EXPECT_EQ(Blue(dst.at(0, 0)), 99);
  HalftoneStretch(dst.view(), 2, 2, 4, 4, src.view(), 0, 0, 4, 4);
  EXPECT_EQ(Blue(dst.at(2, 2)), 200);
  EXPECT_EQ(Blue(dst.at(1, 2)), 99);
  // Empty rectangles change nothing.
  HalftoneStretch(dst.view(), 0, 0, 0, 3, src.view(), 0, 0, 4, 4);
  HalftoneStretch(dst.view(), 0, 0, 3, 3, src.view(), 5, 5, 4, 4);
  EXPECT_EQ(Blue(dst.at(0, 0)), 99);
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
