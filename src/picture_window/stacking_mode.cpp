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
  // A desktop window that does not answer keeps the window, and it keeps its mode, until it answers.
  if (mode != StackingMode::OnDesktop && !SetTopMost(hwnd(), mode == StackingMode::OnTop)) return;
  stacking = mode;
  SetStackingChecks(mode == StackingMode::OnTop, mode == StackingMode::OnDesktop);
  // Without a desktop window, or with one that does not answer, the mode is still recorded and the
  // window stays where it is.
  if (mode == StackingMode::OnDesktop) AttachToDesktop(hwnd());
}

}  // namespace pintaro
