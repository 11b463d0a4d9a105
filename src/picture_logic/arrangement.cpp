#include "picture_logic/arrangement.h"

#include <algorithm>

namespace pintaro {

ArrangementGrid PlanArrangement(double screenWidthTwips, double screenHeightTwips, double twipsPerPixel,
                                int displaySize, double iconWidthTwips) {
  const std::int64_t cell = std::max<std::int64_t>(RoundHalfEven(twipsPerPixel * displaySize), 1);
  const std::int64_t width = RoundHalfEven(screenWidthTwips);
  const std::int64_t height = RoundHalfEven(screenHeightTwips);
  ArrangementGrid grid;
  grid.columns = std::max<std::int64_t>(width / cell, 1);
  grid.rows = std::max<std::int64_t>(height / cell, 1);
  grid.stepX = cell + RoundHalfEven(screenWidthTwips - static_cast<double>(grid.columns * cell)) / grid.columns;
  grid.stepY = cell + RoundHalfEven(screenHeightTwips - static_cast<double>(grid.rows * cell)) / grid.rows;
  grid.pageShift = RoundHalfEven(iconWidthTwips * 0.5);
  return grid;
}

Point ArrangedTopLeft(const ArrangementGrid& grid, std::int64_t place) {
  const std::int64_t column = place % grid.columns;
  const std::int64_t row = place / grid.columns % grid.rows;
  const std::int64_t page = place / (grid.columns * grid.rows);
  return {static_cast<int>(page * grid.pageShift + column * grid.stepX),
          static_cast<int>(row * grid.stepY + page * grid.pageShift)};
}

}  // namespace pintaro
