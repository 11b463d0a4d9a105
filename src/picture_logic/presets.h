#pragma once
// The display sizes and opacities that apply to every picture window, and the arithmetic of changing
// them. No Windows header here.
#include <array>

#include "picture_logic/fit.h"

namespace pintaro {

// Longer side of every picture window, in pixels, by size preset. The mouse wheel reaches presets
// 0 to kLargestWheelPreset; the larger ones have no visible menu item.
inline constexpr std::array<int, 8> kSizePresets{80, 120, 160, 240, 320, 480, 640, 960};
inline constexpr int kLargestWheelPreset = 5;
inline constexpr int kDefaultSizePreset = 2;  // 160 pixels, at every start

// Opacity (255 opaque) by transparency preset: the one list of them, which every menu of transparencies
// shows item by item.
inline constexpr std::array kOpacityPresets{255, 191, 127, 63};
inline constexpr int kOpacityPresetCount = static_cast<int>(kOpacityPresets.size());

// The size preset one wheel step away (+1 larger, -1 smaller). The wheel stops at 80 and 480 pixels;
// from above 480 a step down goes one preset lower and a step up changes nothing.
int SteppedSizePreset(int preset, int delta) noexcept;

// A wheel's turns summed into notches of 120, as Windows asks of a program that steps once a notch:
// precision wheels and touchpads send many turns of less than a notch. The sum holds one direction; a turn
// the other way starts it again from that turn. A turn steps at most once, however many notches it
// carries, and what it carries beyond whole notches stays in the sum.
class WheelNotches {
 public:
  static constexpr int kNotch = 120;
  // +1 when the sum has reached a notch away from the user, -1 toward the user, 0 otherwise.
  int Add(int distance) noexcept;

 private:
  int sum_ = 0;  // within one notch either way
};

// Screen rectangle of a window, in pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Top-left corner, in pixels, that keeps the centre of a window of the old rectangle when it takes
// the new size. The centre is taken and kept in twips, rounding halves to even.
Point KeepCentre(PixelRect old, Size newSize, double twipsPerPixel);

}  // namespace pintaro
