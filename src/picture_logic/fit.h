#pragma once
// Sizing arithmetic for picture windows and the full-screen view. No Windows header here.
#include <cstdint>

namespace pintaro {

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
std::int64_t RoundHalfEven(double value);

// Integer halving that drops the remainder, toward zero.
constexpr std::int64_t Half(std::int64_t value) { return value / 2; }

// Fits a picture so that its longer side is displaySize pixels (both sides for a square). The ratio
// is kept as a 32-bit float, as the rounding of the shorter side depends on it. A shorter side that
// would round to 0 becomes 1 pixel.
Size FitToDisplay(Size picture, int displaySize);

// Screen geometry in twips (1/1440 inch) and the twips per pixel in x and y.
struct ScreenTwips {
  float width = 0;
  float height = 0;
  float twipsPerPixelX = 15;
  float twipsPerPixelY = 15;
};

struct FullScreenFit {
  Size size;  // shown size in pixels
  std::int64_t leftTwips = 0;
  std::int64_t topTwips = 0;
};

// Largest size with the picture's proportions that fits the screen, centred.
FullScreenFit FitToScreen(Size picture, const ScreenTwips& screen);

}  // namespace pintaro
