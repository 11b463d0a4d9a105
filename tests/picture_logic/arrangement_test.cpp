#include "picture_logic/arrangement.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

// The worked example runs under Wine in the main menu's tests; a screen this small cannot be set up there.
TEST(Arrangement, AScreenSmallerThanOneCellStillHasOneColumnAndRow) {
  const ArrangementGrid grid = PlanArrangement(100 * 15, 60 * 15, 15, 480, 480);
  EXPECT_EQ(grid.columns, 1);
  EXPECT_EQ(grid.rows, 1);
  EXPECT_EQ(ArrangedTopLeft(grid, 1), (Point{240, 240}));
}

}  // namespace
}  // namespace pintaro
