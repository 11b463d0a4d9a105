// The picture window's stacking mode: normal, always on top, or inside the desktop window.
#include "picture_window/picture_window.h"
#include "picture_window/stacking.h"

namespace pintaro {

// Each item switches its own mode on and off; switching one on leaves the other.
void PictureWindow::ToggleAlwaysOnTop() {
  ApplyStackingMode(stacking == StackingMode::OnTop ? StackingMode::Normal : StackingMode::OnTop);
}

void PictureWindow::TogglePinnedToDesktop() {
  ApplyStackingMode(stacking == StackingMode::OnDesktop ? StackingMode::Normal : StackingMode::OnDesktop);
}

void PictureWindow::ApplyStackingMode(StackingMode mode) {
  stacking = mode;
  SetStackingChecks(mode == StackingMode::OnTop, mode == StackingMode::OnDesktop);
  if (mode == StackingMode::OnDesktop) {
    // Without a desktop window the mode is still recorded and the window stays where it is.
    AttachToDesktop(hwnd());
  } else {
    SetTopMost(hwnd(), mode == StackingMode::OnTop);
  }
}

}  // namespace pintaro
