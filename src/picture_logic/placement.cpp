#include "picture_logic/placement.h"

namespace pintaro {

double PlacementRandom::Next() noexcept {
  // 24-bit linear congruential generator; good enough to scatter windows, and the same everywhere.
  state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
  return static_cast<double>(state_) / 16777216.0;
}

namespace {

std::int64_t Offset(double screenTwips, double r) {
  return RoundHalfEven(screenTwips * 0.3 * r - static_cast<double>(Half(RoundHalfEven(screenTwips * 0.3))));
}

}  // namespace

Point PlaceAroundCentre(Size screen, Size window, double twipsPerPixel, double r1, double r2) {
  const double SW = screen.width * twipsPerPixel;
  const double SH = screen.height * twipsPerPixel;
  const double WW = window.width * twipsPerPixel;
  const double WH = window.height * twipsPerPixel;
  const std::int64_t leftTwips = Offset(SW, r1) + Half(RoundHalfEven(SW - WW));
  const std::int64_t topTwips = Offset(SH, r2) + Half(RoundHalfEven(SH - WH));
  return {static_cast<int>(RoundHalfEven(leftTwips / twipsPerPixel)),
          static_cast<int>(RoundHalfEven(topTwips / twipsPerPixel))};
}

}  // namespace pintaro
