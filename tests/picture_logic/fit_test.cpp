#include "picture_logic/arrangement.h"
#include "picture_logic/fit.h"

#include <gtest/gtest.h>

#include "picture_logic/monitors.h"

namespace pintaro {
namespace {

TEST(Fit, HalvesRoundToEvenAndTheLongerSideBecomesTheDisplaySize) {
  for (const auto& [value, rounded] : {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.5001, 3}, {119.99999, 120}})
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
  // Picture width and height, display size, shown width and height. 640 x 10: 160 / 64 = 2.5 and
  // 224 / 64 = 3.5. 320 x 7: the float ratio is a little above the true one, so 160 / ratio falls just
  // short of 3.5. 1000 x 3: never below 1 pixel.
  const int cases[][5] = {{1024, 768, 160, 160, 120}, {768, 1024, 160, 120, 160}, {500, 500, 160, 160, 160},
                          {640, 10, 160, 160, 2},     {10, 640, 160, 2, 160},     {640, 10, 224, 224, 4},
                          {320, 7, 160, 160, 3},      {1000, 3, 160, 160, 1},     {1000, 999, 160, 160, 160}};
  for (const auto& c : cases)
    EXPECT_EQ(FitToDisplay({c[0], c[1]}, c[2]), (Size{c[3], c[4]})) << c[0] << "x" << c[1] << " at " << c[2];

  // The view's fit to the screen and new windows' places: literal places under Wine.
}

// A 1024 x 768 screen at 15 twips a pixel, cells of 160 pixels: 6 columns 2560 twips apart and 4 rows 2880
// apart, each page shifted by half the 32-pixel icon window. A screen narrower than a cell has one column.
TEST(Arrangement, RowByRowThenPageAfterPageShiftedByHalfTheIconWindow) {
  const ArrangementGrid grid = PlanArrangement(15360, 11520, 15, 160, 480);
  for (const auto& [place, at] : {std::pair{0, Point{0, 0}},
                                  {7, {2560, 2880}},
                                  {23, {12800, 8640}},
                                  {24, {240, 240}},
                                  {31, {2800, 3120}},
                                  {48, {480, 480}}})
    EXPECT_EQ(ArrangedTopLeft(grid, place), at) << place;
  EXPECT_EQ(ArrangedTopLeft(PlanArrangement(100, 11520, 15, 160, 480), 5), (Point{240, 3120}));
}

// A 160 x 120 window (or 1500 x 1000) and where it goes with the primary 1024 x 768 screen alone, or with a
// 1280 x 1024 one left of it too: one sharing a pixel with a monitor stays, one on none moves the least way
// wholly onto the nearest.
TEST(Monitors, AWindowOnNoMonitorMovesWhollyOntoTheNearestOneAtItsSizeAndOneStillPartlyOnOneStays) {
  const ScreenRect primary{0, 0, 1024, 768}, left{-1280, 0, 0, 1024}, both[] = {primary, left};
  const std::span<const ScreenRect> alone(&primary, 1), none;
  const std::tuple<ScreenRect, std::span<const ScreenRect>, Point> cases[] = {
      {{-900, 500, -740, 620}, alone, {0, 500}},     {{-900, 500, -740, 620}, both, {-900, 500}},
      {{-100, 700, 60, 820}, alone, {-100, 700}},    {{1024, 0, 1184, 120}, alone, {864, 0}},
      {{1100, 800, 1260, 920}, alone, {864, 648}},   {{200, -300, 360, -180}, both, {200, 0}},
      {{-300, 1100, -140, 1220}, both, {-300, 904}}, {{-2000, 0, -500, 1000}, alone, {0, 0}},
      {{-2000, 0, -500, 1000}, none, {-2000, 0}}};
  for (const auto& [rect, monitors, at] : cases)
    EXPECT_EQ(PlaceOnAMonitor(rect, monitors), at) << rect.left << "," << rect.top << " among " << monitors.size();
  EXPECT_EQ(NearestMonitor({-80, -200, 80, -80}, both), &both[0]) << "as near as the other: the first";
}

}  // namespace
}  // namespace pintaro
