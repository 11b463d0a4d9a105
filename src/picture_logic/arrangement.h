#pragma once
// Where ArrangeWindows puts each picture window: a grid of square cells over the primary screen,
// filled row by row, then page after page, each page shifted right and down. No Windows header here.
#include <cstdint>

#include "picture_logic/fit.h"

namespace pintaro {

struct ArrangementGrid {
  std::int64_t columns = 1;
  std::int64_t rows = 1;
  std::int64_t stepX = 0;  // twips from one cell to the next
  std::int64_t stepY = 0;
  std::int64_t pageShift = 0;  // twips right and down from one page to the next
};

// Cells as wide as the display size; the screen's width and height left over after the whole cells
// is shared out among them. A screen narrower or lower than one cell still has one column or row.
ArrangementGrid PlanArrangement(double screenWidthTwips, double screenHeightTwips, double twipsPerPixel,
                                int displaySize, double iconWidthTwips);

// Top-left corner, in twips, of the place-th arranged window (0 for the first).
Point ArrangedTopLeft(const ArrangementGrid& grid, std::int64_t place);

}  // namespace pintaro
