#pragma once
// The icon window: the program's icon, 32 x 32 at 96 dots per inch and scaled with the screen, always on
// top near the bottom-right corner of the screen, with its square cut away by a colour key.
#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "icon_window/drop_target.h"
#include "picture_logic/presets.h"
#include "picture_reading/picture_loader.h"
#include "win32/dde_source.h"
#include "win32/handles.h"
#include "win32/program.h"
#include "win32/window_base.h"

namespace pintaro {

class IconWindow : public Window<IconWindow>, public MainWindow {
 public:
  static constexpr wchar_t kClassName[] = L"PintaroIcon";
  // The colour key. Under desktop composition Windows lets clicks and drops through keyed pixels only
  // where the key's red equals its blue.
  static constexpr COLORREF kIconBackground = RGB(255, 0, 255);
  // The window's size and its left and top edges' distances from the screen's right and bottom edges,
  // at 96 dots per inch.
  static constexpr int kIconSize = 32;
  static constexpr int kFromRight = 64;
  static constexpr int kFromBottom = 96;

  // The names of the pictures that a hand-off command opens.
  using CommandNames = std::function<std::vector<std::wstring>(const std::wstring& command)>;

  // The running instance's icon window; hand-off commands are read by namesOf.
  explicit IconWindow(CommandNames namesOf);
  ~IconWindow();

  // Creates the window, answers the hand-off conversation from then on, places the window and shows it,
  // without activating it yet.
  void Show();
  // At the end of the start-up: the window takes the foreground, as a window shown at the start of a
  // program does, if it is still where it was at the start.
  void Activate(HWND foregroundAtStart);
  // Once the start-up is done: files dropped on the window open from now on.
  void AcceptDrops();
  // From the start-up's first picture on, the wheel steps the display size of every picture; from
  // WatchClipboard on, the main menu's paste item follows the clipboard. Until the end stops both.
  void TakeTheWheel() noexcept { wheelAndClipboardOn_ = true; }
  void WatchClipboard() noexcept { AddClipboardFormatListener(hwnd()); }
  void StopWheelAndClipboard() noexcept;

  // The number of open hand-off conversations.
  std::size_t LinkConversations() const noexcept { return linkSource_.ConversationCount(); }

  // Opens the dropped names that look like pictures, in order, skipping the others silently.
  void OnDrop(const std::vector<std::wstring>& names);
  // Takes the names of a drop; they open once the drag source has been answered.
  void OnDropped(std::vector<std::wstring> names);

  // As the program's main window.
  HWND Handle() const noexcept override { return hwnd(); }
  void SetShown(bool shown) noexcept override;
  bool Shown() const noexcept override { return IsWindowVisible(hwnd()) != FALSE; }
  void TakeFocusIfShown() noexcept override;
  int Width() const noexcept override;
  void TellPictureWindowsLost() noexcept override;
  void EndSoon() noexcept override;
  // Ctrl+Z, here or in a picture window: the picture closed last opens again, from the opening queue.
  void OpenLastClosedLater() noexcept override;

  // Event handlers.
  void Initialize();
  // Windows is logging off or shutting down: the program ends in order.
  void OnEndSession();
  void OnClose();
  // An Execute of the hand-off conversation: accepted whatever it says while the names of the hand-offs
  // waiting stay within their bounds, and refused beyond; its pictures open once the later start has its
  // answer.
  void OnDdeExecute(const std::wstring& command, short& cancel);
  void OnMouseMove();
  void OnLeftButtonDown();
  void OnRightButtonUp();
  void OnDoubleClick();
  // Turns are summed into whole notches, each a step of the size; parts of a notch, from precision wheels
  // and touchpads, wait in the sum for more. A turn that comes while a step lets messages run is dropped,
  // not summed: one step never runs inside another.
  void OnMouseWheel(int distance);
  void OnClipboardUpdate();
  // The notification-area icon's mouse message: a double click hides every window, a right-button
  // release opens the main menu.
  void OnNotifyIconMessage(UINT mouseMessage);
  void OnEndTimer();
  // Picture windows were destroyed from outside: they are made again, and those pinned into the desktop
  // window go into it once Explorer has made it again.
  void OnPictureWindowsLost();
  // The monitors changed: every window comes back onto one, and pictures inside the desktop window keep
  // their places on the screen when Explorer moves it a moment later.
  void OnDisplayChange();
  void OnDesktopWatchTimer();
  void OnTaskbarCreated();
  // Hands what waits to the opening queue, in order.
  void OnOpenWaitingPictures();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void CreateIconWindow();
  // The main menu at the mouse pointer; its items also answer the right button.
  void OpenMainMenuAtCursor();
  void OnPaint();
  static RECT PlaceAtScale(UINT dpi) noexcept;
  // The window and its pin at the size for the dpi.
  void TakeSize(UINT dpi, const RECT& place);
  void OnDpiChanged(WPARAM dpis, LPARAM suggested);
  // Looks at the desktop window four times a second for ten seconds.
  void WatchDesktop();
  // Opening pictures shows messages, which neither a drag source nor a later start should wait for:
  // they are answered first, and the pictures go to the opening queue from a posted message. A
  // hand-off's names and bytes count against the bounds of those waiting until its batch begins, when
  // open calls what it is given.
  struct WaitingOpening {
    std::function<void(std::function<void()> begun)> open;
    std::size_t handOffNames = 0;
    std::size_t handOffBytes = 0;
  };
  void OpenLater(WaitingOpening opening);

  UniqueIcon icon_;
  int size_ = kIconSize;
  int desktopWatchTicks_ = 0;
  UniqueWindow toolTip_;
  FileDropTarget dropTarget_{[this](std::vector<std::wstring> names) { OnDropped(std::move(names)); }};
  std::deque<WaitingOpening> waitingOpenings_;
  std::size_t handOffNamesWaiting_ = 0;
  std::size_t handOffBytesWaiting_ = 0;
  bool wheelAndClipboardOn_ = false;
  WheelNotches wheelNotches_;  // the turns not yet a notch
  bool oleInitialized_ = false;

  CommandNames namesOf_;
  DdeSource linkSource_;  // link mode source, topic "frmMain"
};

}  // namespace pintaro
