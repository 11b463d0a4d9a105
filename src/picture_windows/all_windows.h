#pragma once
// Display size and transparency applied to every picture window at once.

namespace pintaro {

// Makes the size preset the display size and renders every picture window in use at it, each
// keeping its centre; the icon window then takes the keyboard focus for the wheel.
// Each window's file is read on a worker and the window changes when its answer comes through the
// message loop; a size chosen meanwhile plans every window again, and wins.
void SetAllSizes(int preset);
// Whether a size change is under way.
bool SizeChangeUnderWay() noexcept;

// Makes the transparency preset the opacity of every picture window in use and of those opened
// later, with its item checked in each window's menu.
void SetAllAlpha(int preset);

}  // namespace pintaro
