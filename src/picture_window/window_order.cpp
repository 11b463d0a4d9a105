// The picture window's stacking mode: normal, always on top, or inside the desktop window.
#include "picture_window/frm_clip.h"
#include "picture_window/stacking.h"

namespace pintaro {

namespace {
constexpr short kNormal = 0;
constexpr short kOnTop = 1;
constexpr short kOnDesktop = 2;
}  // namespace

// Each item switches its own mode on and off; switching one on leaves the other.
void FrmClip::mnuWindowOrder1_Click() { ApplyWindowOrder(WindowOrder == kOnTop ? kNormal : kOnTop); }

void FrmClip::mnuWindowOrder2_Click() { ApplyWindowOrder(WindowOrder == kOnDesktop ? kNormal : kOnDesktop); }

void FrmClip::ApplyWindowOrder(short mode) {
  WindowOrder = mode;
  SetWindowOrderChecks(mode == kOnTop, mode == kOnDesktop);
  if (mode == kOnDesktop) {
    // Without a desktop window the mode is still recorded and the window stays where it is.
    AttachToDesktop(hwnd());
  } else {
    SetTopMost(hwnd(), mode == kOnTop);
  }
}

}  // namespace pintaro
