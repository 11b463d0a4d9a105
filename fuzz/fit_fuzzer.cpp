// Sizes and places: the fit to the display size and to the screen, keeping a window's centre, a new
// window's place, the wheel's size steps and the arrangement grid, with pictures and screens from 1
// pixel to the 2^20 side limit, any ratio, and 48 to 480 dots per inch.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "fuzz_support.h"
#include "picture_logic/arrangement.h"
#include "picture_logic/fit.h"
#include "picture_logic/placement.h"
#include "picture_logic/presets.h"

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

void CheckKeepCentre(PixelRect old, Size newSize, double twipsPerPixel) {
  const Point at = KeepCentre(old, newSize, twipsPerPixel);
  // Twice the centre, in pixels, moves by at most a pixel each way.
  FUZZ_CHECK(std::abs(2 * std::int64_t{at.x} + newSize.width - 2 * std::int64_t{old.left} - old.width) <= 2);
  FUZZ_CHECK(std::abs(2 * std::int64_t{at.y} + newSize.height - 2 * std::int64_t{old.top} - old.height) <= 2);
  const Point same = KeepCentre(old, {old.width, old.height}, twipsPerPixel);
  FUZZ_CHECK(same.x == old.left && same.y == old.top);
}

// A new window's centre lands within 15 % of the screen around its centre, to rounding.
void CheckPlacement(Size screen, Size window, double twipsPerPixel, double r1, double r2) {
  const Point at = PlaceAroundCentre(screen, window, twipsPerPixel, r1, r2);
  FUZZ_CHECK(std::abs(at.x + window.width / 2.0 - screen.width / 2.0) <= 0.15 * screen.width + 1.5);
  FUZZ_CHECK(std::abs(at.y + window.height / 2.0 - screen.height / 2.0) <= 0.15 * screen.height + 1.5);
}

void CheckSizeStep(int preset, int delta) {
  const int stepped = SteppedSizePreset(preset, delta);
  FUZZ_CHECK(stepped >= 0 && stepped < static_cast<int>(kSizePresets.size()));
  FUZZ_CHECK(std::abs(stepped - preset) <= 1 && std::int64_t{stepped - preset} * delta >= 0);
  FUZZ_CHECK(stepped <= std::max(preset, kLargestWheelPreset));
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
  const int left = in.ConsumeIntegralInRange(-(1 << 20), 1 << 20);
  const int top = in.ConsumeIntegralInRange(-(1 << 20), 1 << 20);
  CheckKeepCentre({left, top, Side(in), Side(in)}, {Side(in), Side(in)}, twipsPerPixel);
  // As PlacementRandom gives them: 24-bit fractions in [0, 1).
  const double r1 = in.ConsumeIntegralInRange(0, 0xFFFFFF) / 16777216.0;
  CheckPlacement(screen, {Side(in), Side(in)}, twipsPerPixel, r1, in.ConsumeIntegralInRange(0, 0xFFFFFF) / 16777216.0);
  CheckSizeStep(in.ConsumeIntegralInRange(0, static_cast<int>(kSizePresets.size()) - 1), in.ConsumeIntegral<int>());
  // Each picture window holds GDI objects, so fewer than 2^14 of them can ever be arranged.
  CheckArrangement(screen, twipsPerPixel, displaySize, in.ConsumeIntegralInRange(0, 256),
                   in.ConsumeIntegralInRange(0, 1 << 14));
  return 0;
}
