#include "pictures/fit.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, std::int64_t> cases[] = {{2.5, 2},    {3.5, 4},    {-2.5, -2},      {-3.5, -4},
                                                   {2.4999, 2}, {2.5001, 3}, {119.99999, 120}};
  for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

TEST(FitToDisplay, LongerSideBecomesTheDisplaySizeShorterRoundsHalfToEvenThroughAFloatRatio) {
  // Picture width and height, display size, shown width and height. 640 x 10: 160 / 64 = 2.5 and
  // 224 / 64 = 3.5. 320 x 7: the float ratio is a little above the true one, so 160 / ratio falls just
  // short of 3.5. 1000 x 3: 0.48 would round to 0; never below 1 pixel. 1000 x 999: ratio 1.001001f;
  // 160 / ratio = 159.84 -> 160, still landscape.
  const int cases[][5] = {
      {1024, 768, 160, 160, 120}, {768, 1024, 160, 120, 160}, {500, 500, 160, 160, 160},  {1920, 1080, 160, 160, 90},
      {1024, 768, 80, 80, 60},    {768, 1024, 80, 60, 80},    {100, 50, 160, 160, 80},    {640, 10, 160, 160, 2},
      {10, 640, 160, 2, 160},     {640, 10, 224, 224, 4},     {320, 7, 160, 160, 3},      {1000, 3, 160, 160, 1},
      {3, 1000, 160, 1, 160},     {100000, 1, 160, 160, 1},   {1000, 999, 160, 160, 160}, {0, 10, 160, 0, 0},
      {10, 10, 0, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitToDisplay({c[0], c[1]}, c[2]), (Size{c[3], c[4]})) << c[0] << "x" << c[1] << " at " << c[2];
  }
}

TEST(FitToScreen, WorkedExampleOn1024x768) {
  // Picture width and height, shown width and height, left and top in twips.
  const int cases[][6] = {
      {2048, 1536, 1024, 768, 0, 0},   {1600, 900, 1024, 576, 0, 1440}, {600, 800, 576, 768, 3360, 0},
      {1000, 1000, 768, 768, 1920, 0}, {100, 50, 1024, 512, 0, 1920},   {1024, 767, 1024, 767, 0, 7},
  };
  for (const auto& c : cases) {
    const FullScreenFit fit = FitToScreen({c[0], c[1]}, {1024 * 15.f, 768 * 15.f, 15.f, 15.f});
    EXPECT_EQ(fit.size, (Size{c[2], c[3]})) << c[0] << "x" << c[1];
    EXPECT_EQ(fit.leftTwips, c[4]) << c[0] << "x" << c[1];
    EXPECT_EQ(fit.topTwips, c[5]) << c[0] << "x" << c[1];
  }
}

}  // namespace
}  // namespace pintaro
