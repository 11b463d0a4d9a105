#include "pictures/placement.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(Placement, RandomNumbersUniformInZeroToOneTheSameEveryRunAndWindowCentresWithinFifteenPercent) {
  PlacementRandom a;
  PlacementRandom b;
  const double first = b.Next();
  b.Reset();
  double lowest = 1, highest = 0, sum = 0;
  constexpr int kCount = 20000;
  for (int i = 0; i < kCount; ++i) {
    const double x = a.Next();
    ASSERT_EQ(x, b.Next());
    ASSERT_GE(x, 0.0);
    ASSERT_LT(x, 1.0);
    lowest = std::min(lowest, x);
    highest = std::max(highest, x);
    sum += x;
  }
  b.Reset();
  EXPECT_EQ(b.Next(), first);
  EXPECT_LT(lowest, 0.01);
  EXPECT_GT(highest, 0.99);
  EXPECT_NEAR(sum / kCount, 0.5, 0.02);

  // r = 0 puts the window 15 % left of and above the centre; 0.5 centres it; any r keeps its centre
  // within 15 % of the screen's size around the screen's centre.
  EXPECT_EQ(PlaceAroundCentre({1024, 768}, {160, 120}, 15.0, 0.0, 0.0), (Point{278, 209}));
  EXPECT_EQ(PlaceAroundCentre({1024, 768}, {160, 120}, 15.0, 0.5, 0.5), (Point{432, 324}));
  PlacementRandom& random = a;
  for (const Size window : {Size{160, 120}, Size{120, 160}, Size{160, 2}, Size{480, 480}}) {
    for (int i = 0; i < 2000; ++i) {
      const double r1 = random.Next();
      const Point at = PlaceAroundCentre({1024, 768}, window, 15.0, r1, random.Next());
      ASSERT_LE(std::abs(at.x + window.width / 2.0 - 512), 0.15 * 1024 + 1) << at.x;
      ASSERT_LE(std::abs(at.y + window.height / 2.0 - 384), 0.15 * 768 + 1) << at.y;
    }
  }
}

}  // namespace
}  // namespace pintaro
