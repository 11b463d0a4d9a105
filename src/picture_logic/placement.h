#pragma once
// Where a newly opened picture window goes. No Windows header here.
#include <cstdint>

#include "picture_logic/fit.h"

namespace pintaro {

// Uniform numbers in [0, 1) from a fixed starting state: every run places windows the same way.
class PlacementRandom {
 public:
  double Next() noexcept;

 private:
  static constexpr std::uint32_t kStart = 0x50000;
  std::uint32_t state_ = kStart;
};

// Top-left corner, in pixels, that puts a window of windowSize near the middle of the screen: the
// centre lands within +-15 % of the screen's width and height around the screen centre. r1 and r2
// are in [0, 1). The arithmetic is done in twips, twipsPerPixel to a pixel.
Point PlaceAroundCentre(Size screen, Size window, double twipsPerPixel, double r1, double r2);

}  // namespace pintaro
