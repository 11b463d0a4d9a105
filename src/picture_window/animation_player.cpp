// An animated GIF plays in its window: each tick copies the next prepared frame into the window's bitmap.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "picture_window/picture_window.h"
#include "win32/messages_and_timers.h"

namespace pintaro {

void PictureWindow::Animate(std::shared_ptr<const Animation> frames) noexcept {
  animation = std::move(frames);
  if (playing_) KillTimer(hwnd(), kAnimationTimer);
  playing_ = false;
  if (!animation) {
    animationFrame = 0;
    playsDone = 0;
    return;
  }
  animationFrame = std::min(animationFrame, animation->frames.size() - 1);
  if (animationFrame != 0) ShowFrame(animationFrame);
  PlayWhileSeen();
}

void PictureWindow::PlayWhileSeen() noexcept {
  const bool done = animation && animation->plays != kPlaysForever && playsDone >= animation->plays;
  const bool play = animation && !done && exists() && IsWindowVisible(hwnd());
  if (play && !playing_) SetTimer(hwnd(), kAnimationTimer, animation->delaysMs[animationFrame], nullptr);
  if (!play && playing_) KillTimer(hwnd(), kAnimationTimer);
  playing_ = play;
}

// After the last frame the animation starts again, unless its plays are done: then it stays there.
void PictureWindow::OnAnimationTimer() noexcept {
  if (!animation || !playing_) return;
  std::size_t next = animationFrame + 1;
  if (next == animation->frames.size()) {
    next = 0;
    if (animation->plays != kPlaysForever && ++playsDone >= animation->plays) return PlayWhileSeen();
  }
  const int delay = animation->delaysMs[animationFrame];
  ShowFrame(next);
  // The timer goes on at the same pace by itself: setting it again costs a call to the system each frame.
  if (animation->delaysMs[next] != delay) SetTimer(hwnd(), kAnimationTimer, animation->delaysMs[next], nullptr);
}

void PictureWindow::ShowFrame(std::size_t index) noexcept {
  DIBSECTION section{};
  const Image32& frame = animation->frames[index];
  if (!shownBitmap || GetObjectW(shownBitmap.get(), sizeof(section), &section) != sizeof(section) ||
      !section.dsBm.bmBits || section.dsBm.bmWidth != frame.width() || section.dsBm.bmHeight != frame.height()) {
    return;
  }
  GdiFlush();
  std::memcpy(section.dsBm.bmBits, frame.data(), frame.byteSize());
  animationFrame = index;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

}  // namespace pintaro
