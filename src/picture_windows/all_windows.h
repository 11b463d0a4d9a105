#pragma once
// Display size and transparency applied to every picture window at once.

namespace pintaro {

// Makes the size preset the display size and renders every picture window in use at it, each
// keeping its centre; the icon window then takes the keyboard focus for the wheel.
void SetAllSizes(int preset);

// Makes the transparency preset the opacity of every picture window in use and of those opened
// later, with its item checked in each window's menu.
void SetAllAlpha(int preset);

}  // namespace pintaro
