// Sizes and places that a picture's own size decides: the fit to the display size and to the screen, and
// the arrangement grid, with pictures and screens from 1 pixel to the 2^20 side limit, any ratio, and 48
// to 480 dots per inch. (A window's centre, a new window's place and the wheel's steps: the Wine tests.)
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "fuzz_support.h"
#include "picture_logic/arrangement.h"
#include "picture_logic/fit.h"

using namespace pintaro;

namespace {

int Side(FuzzedDataProvider& in) { return in.ConsumeIntegralInRange<int>(1, 1 << in.ConsumeIntegralInRange(0, 20)); }

// A fitted side against the exact one: rounded, or 1 pixel for less than half of one. The ratio is
// a 32-bit float, and so are the screen's twips: each may be off by 2^-24 of what it is.
bool NearlyProportional(int fitted, double exact) {
  return exact < 0.5 ? fitted == 1 : std::abs(fitted - exact) <= 0.5 + exact * 0x1p-22;
}

void CheckFitToDisplay(Size picture, int displaySize) {
  const Size fit = FitToDisplay(picture, displaySize);
  const bool wide = picture.width > picture.height;
  FUZZ_CHECK((wide ? fit.width : fit.height) == displaySize);
  const int shorter = wide ? fit.height : fit.width;
  FUZZ_CHECK(shorter >= 1 && shorter <= displaySize);
  const double exact = static_cast<double>(displaySize) * std::min(picture.width, picture.height) /
                       std::max(picture.width, picture.height);
  FUZZ_CHECK(NearlyProportional(shorter, exact));
}

void CheckFitToScreen(Size picture, Size screenPixels, float twipsPerPixel) {
  const ScreenTwips screen{screenPixels.width * twipsPerPixel, screenPixels.height * twipsPerPixel, twipsPerPixel,
                           twipsPerPixel};
  const FullScreenFit fit = FitToScreen(picture, screen);
  FUZZ_CHECK(fit.size.width >= 1 && fit.size.width <= screenPixels.width);
  FUZZ_CHECK(fit.size.height >= 1 && fit.size.height <= screenPixels.height);
  const double ratio = static_cast<double>(picture.width) / picture.height;
  if (fit.size.width == screenPixels.width) {
    FUZZ_CHECK(fit.size.height == screenPixels.height ||
               NearlyProportional(fit.size.height, screenPixels.width / ratio));
  } else {
    FUZZ_CHECK(fit.size.height == screenPixels.height);
    FUZZ_CHECK(NearlyProportional(fit.size.width, screenPixels.height * ratio));
  }
  // Centred, to a twip.
  FUZZ_CHECK(std::abs(fit.leftTwips - (screen.width - fit.size.width * double{twipsPerPixel}) / 2) <= 1);
  FUZZ_CHECK(std::abs(fit.topTwips - (screen.height - fit.size.height * double{twipsPerPixel}) / 2) <= 1);
}

// One axis of the grid: whole cells and the leftover shared out. The leftover is rounded on its own,
// half to even, so with a screen a half twip wide the cells may reach one twip further than it.
void CheckAxis(std::int64_t count, std::int64_t step, std::int64_t cell, double screenTwips) {
  const std::int64_t screen = RoundHalfEven(screenTwips);
  FUZZ_CHECK(count >= 1 && step >= std::min<double>(cell, std::floor(screenTwips)));
  FUZZ_CHECK(count * step <= std::ceil(screenTwips));
  FUZZ_CHECK(screen < cell ? count == 1 : (count + 1) * cell > screen);
}

void CheckArrangement(Size screenPixels, double twipsPerPixel, int displaySize, int iconPixels, std::int64_t place) {
  const double width = screenPixels.width * twipsPerPixel;
  const double height = screenPixels.height * twipsPerPixel;
  const ArrangementGrid grid = PlanArrangement(width, height, twipsPerPixel, displaySize, iconPixels * twipsPerPixel);
  const std::int64_t cell = std::max<std::int64_t>(RoundHalfEven(twipsPerPixel * displaySize), 1);
  CheckAxis(grid.columns, grid.stepX, cell, width);
  CheckAxis(grid.rows, grid.stepY, cell, height);
  FUZZ_CHECK(std::abs(grid.pageShift - iconPixels * twipsPerPixel / 2) <= 0.5);

  const std::int64_t page = place / (grid.columns * grid.rows);
  const Point at = ArrangedTopLeft(grid, place);
  const Point next = ArrangedTopLeft(grid, place + 1);
  FUZZ_CHECK(at.x - page * grid.pageShift >= 0 && at.x - page * grid.pageShift <= (grid.columns - 1) * grid.stepX);
  FUZZ_CHECK(at.y - page * grid.pageShift >= 0 && at.y - page * grid.pageShift <= (grid.rows - 1) * grid.stepY);
  const bool samePage = (place + 1) / (grid.columns * grid.rows) == page;
  FUZZ_CHECK(!samePage || !(at == next));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const Size picture{Side(in), Side(in)};
  const Size screen{Side(in), Side(in)};
  const int dotsPerInch = in.ConsumeIntegralInRange(48, 480);
  const int displaySize = Side(in);
  CheckFitToDisplay(picture, displaySize);
  CheckFitToScreen(picture, screen, 1440.0f / static_cast<float>(dotsPerInch));

  const double twipsPerPixel = 1440.0 / dotsPerInch;
  // Each picture window holds GDI objects, so fewer than 2^14 of them can ever be arranged.
  CheckArrangement(screen, twipsPerPixel, displaySize, in.ConsumeIntegralInRange(0, 256),
                   in.ConsumeIntegralInRange(0, 1 << 14));
  return 0;
}
