#pragma once
// A picture window: a borderless layered window that shows one picture at the display size.
#include <windows.h>

#include <string>

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
  // What the window tells the program around it once its slot is free: the file it showed may go.
  using SlotFreedNotice = void (*)();

  // Creates the window, hidden and layered, in the screen rectangle given: where its first picture
  // is likely to show, so that it need not move then.
  PictureWindow(FullScreenRequest showFullScreen, SlotFreedNotice slotFreed, const RECT& place);
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

  void SetTipText(std::wstring text);
  void SetPicture(UniqueBitmap picture) noexcept;
  SIZE PictureSize() const noexcept;

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
  bool PinnedButNotInDesktop() const noexcept;
  // Puts the window back where it showed on the screen, when the desktop window it is inside has moved,
  // and wholly onto the nearest monitor, when it lies on none.
  void KeepOnAMonitor() noexcept;
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
  void CloseAndFreeSlot();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void CreateTheWindow(const RECT& place);
  void BuildContextMenu();
  void OnDestroy() noexcept;
  void OnFinalMessage() noexcept;
  void OnMouseMove();
  void OnPaint();
  void OnCommand(UINT id);
  void ApplyStackingMode(StackingMode mode);

  const FullScreenRequest showFullScreen_;
  const SlotFreedNotice slotFreed_;
  UniqueMenu menus_;
  UniqueWindow toolTip_;
  // Where the window's top-left corner was last put on the screen: the desktop window it is inside may
  // have moved it since (Explorer moves it when a monitor left of or above the primary comes or goes).
  POINT screenPlace_{};
  // The window's opacity when it was destroyed from outside.
  int lostOpacity_ = 255;
};

}  // namespace pintaro
