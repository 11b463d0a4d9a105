#include "pictures/placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace pintaro {
namespace {

TEST(PlacementRandom, UniformInZeroToOneAndTheSameEveryRun) {
  PlacementRandom a;
  PlacementRandom b;
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
  EXPECT_LT(lowest, 0.01);
  EXPECT_GT(highest, 0.99);
  EXPECT_NEAR(sum / kCount, 0.5, 0.02);
}

TEST(PlacementRandom, ResetStartsTheSequenceAgain) {
  PlacementRandom random;
  const double first = random.Next();
  random.Next();
  random.Reset();
  EXPECT_EQ(random.Next(), first);
}

TEST(PlaceAroundCentre, CentreStaysWithinFifteenPercentOfTheScreenCentre) {
  const Size screen{1024, 768};
  PlacementRandom random;
  for (const Size window : {Size{160, 120}, Size{120, 160}, Size{160, 2}, Size{480, 480}}) {
    for (int i = 0; i < 2000; ++i) {
      const double r1 = random.Next();
      const double r2 = random.Next();
      const Point at = PlaceAroundCentre(screen, window, 15.0, r1, r2);
      const double cx = at.x + window.width / 2.0;
      const double cy = at.y + window.height / 2.0;
      ASSERT_LE(std::abs(cx - 512), 0.15 * 1024 + 1) << at.x;
      ASSERT_LE(std::abs(cy - 384), 0.15 * 768 + 1) << at.y;
    }
  }
}

TEST(PlaceAroundCentre, ExtremesOfTheRandomNumbers) {
  // r = 0 puts the window 15 % left of centre; r close to 1 about 15 % right of it.
  EXPECT_EQ(PlaceAroundCentre({1024, 768}, {160, 120}, 15.0, 0.0, 0.0), (Point{278, 209}));
  EXPECT_EQ(PlaceAroundCentre({1024, 768}, {160, 120}, 15.0, 0.5, 0.5), (Point{432, 324}));
}

}  // namespace
}  // namespace pintaro
