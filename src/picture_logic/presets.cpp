#include "picture_logic/presets.h"

namespace pintaro {

int SteppedSizePreset(int preset, int delta) noexcept {
  if (delta > 0) return preset < kLargestWheelPreset ? preset + 1 : preset;
  if (delta < 0) return preset > 0 ? preset - 1 : preset;
  return preset;
}

int WheelNotches::Add(int distance) noexcept {
  if (distance == 0) return 0;
  const bool sameWay = (sum_ > 0) == (distance > 0);
  const std::int64_t sum = (sameWay ? sum_ : 0) + std::int64_t{distance};
  if (sum > -kNotch && sum < kNotch) {
    sum_ = static_cast<int>(sum);
    return 0;
  }
  sum_ = static_cast<int>(sum % kNotch);
  return sum > 0 ? +1 : -1;
}

Point KeepCentre(PixelRect old, Size newSize, double twipsPerPixel) {
  const auto twips = [&](int pixels) { return pixels * twipsPerPixel; };
  const std::int64_t cx = RoundHalfEven(twips(old.left) + static_cast<double>(Half(RoundHalfEven(twips(old.width)))));
  const std::int64_t cy = RoundHalfEven(twips(old.top) + static_cast<double>(Half(RoundHalfEven(twips(old.height)))));
  const std::int64_t left = cx - Half(RoundHalfEven(twips(newSize.width)));
  const std::int64_t top = cy - Half(RoundHalfEven(twips(newSize.height)));
  return {static_cast<int>(RoundHalfEven(static_cast<double>(left) / twipsPerPixel)),
          static_cast<int>(RoundHalfEven(static_cast<double>(top) / twipsPerPixel))};
}

}  // namespace pintaro
