#include "pictures/presets.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(SteppedSizePreset, TheWheelStopsAt80And480AndFromAboveOnlyComesDown) {
  // Preset, step, preset after it.
  const int cases[][3] = {{2, +1, 3}, {2, -1, 1}, {4, +1, 5}, {5, +1, 5}, {1, -1, 0}, {0, -1, 0},
                          {7, -1, 6}, {6, -1, 5}, {7, +1, 7}, {6, +1, 6}, {3, 0, 3}};
  for (const auto& c : cases) EXPECT_EQ(SteppedSizePreset(c[0], c[1]), c[2]) << c[0] << " by " << c[1];
}

TEST(KeepCentre, TheCentreStaysInTwips) {
  // 160 x 120 at 1500, 1500 twips to 80 x 60: the centre stays at 2700, 2400 twips.
  EXPECT_EQ(KeepCentre({100, 100, 160, 120}, {80, 60}, 15.0), (Point{140, 130}));
  EXPECT_EQ(KeepCentre({140, 130, 80, 60}, {160, 120}, 15.0), (Point{100, 100}));
  // 10 twips a pixel (144 dots per inch): 3 x 3 pixels is 30 twips, half of it 15; 2 x 2 is 20.
  EXPECT_EQ(KeepCentre({0, 0, 3, 3}, {2, 2}, 10.0), (Point{0, 0}));
  EXPECT_EQ(KeepCentre({0, 0, 120, 160}, {60, 80}, 15.0), (Point{30, 40}));
}

}  // namespace
}  // namespace pintaro
