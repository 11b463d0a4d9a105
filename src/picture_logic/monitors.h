#pragma once
// Where a window shows among the monitors: whether it lies on one, and where it goes when it lies on
// none (a monitor it was on was unplugged). No Windows header here.
#include <span>

#include "picture_logic/fit.h"

namespace pintaro {

// A rectangle of the virtual screen in pixels; right and bottom lie just past it.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// Whether at least one pixel of the rectangle lies on one of the monitors.
bool LiesOnAMonitor(const ScreenRect& rect, std::span<const ScreenRect> monitors) noexcept;

// The monitor least far from the rectangle (the first of those as near); null when there is none.
const ScreenRect* NearestMonitor(const ScreenRect& rect, std::span<const ScreenRect> monitors) noexcept;

// The top-left corner that puts the rectangle, at its size, wholly on the monitor with the least move;
// one larger than the monitor starts at the monitor's corner on that side.
Point MovedOnto(const ScreenRect& rect, const ScreenRect& monitor) noexcept;

// Where a window whose rectangle that is goes: where it is while it lies at least partly on a
// monitor, else wholly onto the nearest one.
Point PlaceOnAMonitor(const ScreenRect& rect, std::span<const ScreenRect> monitors) noexcept;

}  // namespace pintaro
