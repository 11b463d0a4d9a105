// The picture window's stacking mode: normal, always on top, or inside the desktop window.
#include "picture_window/picture_window.h"
#include "picture_window/stacking.h"

#include <utility>

namespace pintaro {

// Each item switches its own mode on and off; switching one on leaves the other.
void PictureWindow::ToggleAlwaysOnTop() {
  ApplyStackingMode(stacking == StackingMode::OnTop ? StackingMode::Normal : StackingMode::OnTop);
}

void PictureWindow::TogglePinnedToDesktop() {
  ApplyStackingMode(stacking == StackingMode::OnDesktop ? StackingMode::Normal : StackingMode::OnDesktop);
}

void PictureWindow::ApplyStackingMode(StackingMode mode) {
  // The mode first: the window's own handling of its place in the order follows it. A desktop window that
  // does not answer keeps the window, and it keeps its mode, until it answers.
  // A window comes to be pinned from the top-level windows, which the bottom it waits at takes it out of
  // the topmost band.
  const StackingMode was = std::exchange(stacking, mode);
  // Through SetParent the window keeps its coordinates, now in another window's: it jumps, which is no
  // move of the user's.
  keepingHome_ = true;
  const bool outOfDesktop = mode == StackingMode::OnDesktop || SetTopMost(hwnd(), mode == StackingMode::OnTop);
  keepingHome_ = false;
  if (!outOfDesktop) {
    stacking = was;
    return;
  }
  SetStackingChecks(mode == StackingMode::OnTop, mode == StackingMode::OnDesktop);
  if (mode == StackingMode::OnDesktop) WaitToBePinned();
}

bool PictureWindow::WaitsToBePinned() const noexcept {
  return exists() && stacking == StackingMode::OnDesktop && !InsideDesktopWindow(hwnd());
}

// Explorer's desktop window may not be there yet, or be slow to answer (at logon, after a restart):
// meanwhile the window stays below every other window, never above the user's work.
void PictureWindow::WaitToBePinned() {
  PutAtTheBottom(hwnd());
  if (pinning_.request) pinning_.request();
}

void PictureWindow::PinInto(HWND desktop) noexcept {
  if (!WaitsToBePinned()) return;
  keepingHome_ = true;
  pintaro::PinInto(hwnd(), desktop);
  keepingHome_ = false;
}

void PictureWindow::OnPositionChanging(WINDOWPOS& position) const noexcept {
  if (!(position.flags & SWP_NOZORDER) && WaitsToBePinned()) position.hwndInsertAfter = HWND_BOTTOM;
}

}  // namespace pintaro
