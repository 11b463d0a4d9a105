#include "menu/arrangement.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(Arrangement, CellsShareTheLeftoverAndEachFullPageShiftsByHalfTheIconWindow) {
  // 1024 x 768 pixels at 15 twips a pixel, display size 160, an icon window 480 twips wide.
  const ArrangementGrid grid = PlanArrangement(15360, 11520, 15, 160, 480);
  EXPECT_EQ(grid.columns, 6);
  EXPECT_EQ(grid.rows, 4);
  EXPECT_EQ(grid.stepX, 2560);
  EXPECT_EQ(grid.stepY, 2880);
  // Place (from 0) and its top-left corner in twips.
  const std::pair<int, Point> places[] = {{0, {0, 0}},         {1, {2560, 0}},   {5, {12800, 0}},   {6, {0, 2880}},
                                          {23, {12800, 8640}}, {24, {240, 240}}, {25, {2800, 240}}, {48, {480, 480}}};
  for (const auto& [place, at] : places) EXPECT_EQ(ArrangedTopLeft(grid, place), at) << place;
}

TEST(Arrangement, AScreenSmallerThanOneCellStillHasOneColumnAndRow) {
  const ArrangementGrid grid = PlanArrangement(100 * 15, 60 * 15, 15, 480, 480);
  EXPECT_EQ(grid.columns, 1);
  EXPECT_EQ(grid.rows, 1);
  EXPECT_EQ(ArrangedTopLeft(grid, 1), (Point{240, 240}));
}

}  // namespace
}  // namespace pintaro
