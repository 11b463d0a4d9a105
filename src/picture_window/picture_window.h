#pragma once
// A picture window: a borderless layered window that shows one picture at the display size.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "picture_logic/gif_animation.h"
#include "picture_window/stacking.h"
#include "win32/handles.h"
#include "win32/window_base.h"

namespace pintaro {

class PictureWindow : public Window<PictureWindow> {
 public:
  static constexpr wchar_t kClassName[] = L"PintaroPicture";

  // What the window's full-screen command asks of the program around it, which hides every other
  // window while the view is on.
  using FullScreenRequest = void (*)(PictureWindow& window);
  // What a window the user closed showed, and how: enough to open the picture again as it was.
  struct Closed {
    std::wstring path;
    POINT centre{};  // on the screen
    int opacityPreset = 0;
    StackingMode stacking = StackingMode::Normal;
    std::size_t frame = 0;  // of an animated GIF
  };
  // What the window tells the program around it once its slot is free: the file it showed may go, unless
  // the user closed it (then what it showed comes too).
  using SlotFreedNotice = void (*)(const Closed* byUser);
  // What a window pinned into the desktop window asks when it is not inside it yet: to be put in as
  // soon as the desktop window answers; and the answer, which may come to this window, passed on.
  struct Pinning {
    void (*request)() = nullptr;
    void (*answered)(WPARAM question, LPARAM desktop) = nullptr;
  };

  // Creates the window, hidden and layered, in the screen rectangle given: where its first picture
  // is likely to show, so that it need not move then.
  PictureWindow(FullScreenRequest showFullScreen, SlotFreedNotice slotFreed, Pinning pinning, const RECT& place);
  // The window goes while the object is whole.
  ~PictureWindow();

  bool isFree = false;       // closed: the slot waits for the next picture
  std::wstring picturePath;  // full path of the picture file; empty while the slot is free
  std::wstring tipText;      // file-name part of the path
  UniqueBitmap shownBitmap;  // the picture at the display size
  StackingMode stacking = StackingMode::Normal;
  // Changes whenever the slot is taken or freed: work that let messages run compares it to tell
  // whether the window still holds the same picture.
  unsigned occupancy = 0;
  // An animated GIF's frames at the shown size (none: a still picture), the one shown and the plays done.
  std::shared_ptr<const Animation> animation;
  std::size_t animationFrame = 0;
  int playsDone = 0;

  void SetTipText(std::wstring text);
  void SetPicture(UniqueBitmap picture) noexcept;
  SIZE PictureSize() const noexcept;
  // Takes the frames of the picture just set, of its size, and plays them from the frame shown (the
  // first for a new picture) while the window can be seen; none stops the playing.
  void Animate(std::shared_ptr<const Animation> frames) noexcept;

  HMENU contextMenu() const noexcept { return menus_.get(); }
  bool IsOpacityChecked(int index) const noexcept;
  void CheckOpacityItem(int index) noexcept;  // unchecks all, checks index
  void SetStackingChecks(bool onTop, bool onDesktop) noexcept;
  bool IsChecked(UINT command) const noexcept;

  // Makes the window again after it was destroyed from outside (with a desktop window it was pinned
  // into): its picture, place and transparency as they were; top-level, on top when it was,
  // and inside the desktop window when there is one now. A place on no monitor any more becomes one
  // wholly on the nearest.
  void CreateAgain();
  // Pinned, but not inside a desktop window (yet): it waits at the bottom of the windows.
  bool WaitsToBePinned() const noexcept;
  void PinInto(HWND desktop) noexcept;
  // Puts the window at its home: where the user dragged it, where it opened or where the arrangement
  // put it. While its home lies on no monitor (one unplugged or asleep), wholly onto the nearest
  // monitor instead, its home kept for when that monitor comes back.
  void GoHome() noexcept;
  // Moves the window to a place the program chose for it (the arrangement), which becomes its home.
  void MoveHome(POINT screenTopLeft) noexcept;
  // At the program's end: destroys the window, without waiting for a desktop window it is inside.
  void TakeDown() noexcept;

  // Event handlers and the context menu's commands.
  void OnLeftButtonDown();
  void OnRightButtonUp();
  void OnDoubleClick();
  void CopyAtShownSize();
  void CopyAtOriginalSize();
  void SetOwnOpacity(int preset);
  void ToggleAlwaysOnTop();
  void TogglePinnedToDesktop();
  void ShowFullScreen();
  void CloseAndFreeSlot(const Closed* byUser = nullptr);
  // Closed by the user: from the menu, or with Alt+F4.
  void CloseByUser();
  // Always on top, pinned into the desktop window, or neither.
  void ApplyStackingMode(StackingMode mode);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  struct CopyUnderWay;  // clipboard_copy.cpp

 private:
  void CreateTheWindow(const RECT& place);
  void BuildContextMenu();
  void OnDestroy() noexcept;
  void OnFinalMessage() noexcept;
  void OnMouseMove();
  void OnPaint();
  void OnCommand(UINT id);
  void WaitToBePinned();
  void OnPositionChanging(WINDOWPOS& position) const noexcept;
  void OnPositionChanged(const WINDOWPOS& position) noexcept;
  void OnCopyRead(CopyUnderWay& copy);
  void OnCopyDeadline();
  // A timer runs only while the window is shown, animated and not done playing.
  void PlayWhileSeen() noexcept;
  void OnAnimationTimer() noexcept;
  void ShowFrame(std::size_t index) noexcept;

  const FullScreenRequest showFullScreen_;
  const SlotFreedNotice slotFreed_;
  const Pinning pinning_;
  UniqueMenu menus_;
  UniqueWindow toolTip_;
  // The screen point of the window's top-left corner at home. The desktop window it is inside may have
  // moved it since (Explorer moves it when a monitor left of or above the primary comes or goes), and a
  // monitor that went may have taken it away for a while. None while the slot is free.
  std::optional<POINT> home_;
  SIZE homeSize_{};
  bool draggedByUser_ = false;
  bool keepingHome_ = false;  // while the program moves the window for a reason of its own
  // The window's opacity when it was destroyed from outside.
  int lostOpacity_ = 255;
  // The copy at the picture's own size on its way, if any (clipboard_copy.cpp).
  std::shared_ptr<CopyUnderWay> copy_;
  bool playing_ = false;  // the animation's timer runs
};

}  // namespace pintaro
