#include "picture_window/picture_window.h"

#include <algorithm>
#include <iterator>

#include "win32/busy_cursor.h"
#include "win32/popup_menu.h"
#include "win32/tool_tip.h"
#include "win32/window_drag.h"
#include "picture_window/picture_menu_ids.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_logic/presets.h"
#include "win32/layered.h"
#include "win32/messages_and_timers.h"
#include "win32/program.h"
#include "win32/texts.h"
#include "win32/window_position.h"

namespace pintaro {

static_assert(std::size(kOpacityCaptions) == kOpacityPresets.size(), "one item for each transparency preset");

PictureWindow::PictureWindow(FullScreenRequest showFullScreen, SlotFreedNotice slotFreed, Pinning pinning,
                             const RECT& place)
    : showFullScreen_(showFullScreen), slotFreed_(slotFreed), pinning_(pinning) {
  BuildContextMenu();
  CreateTheWindow(place);
}

void PictureWindow::CreateTheWindow(const RECT& place) {
  RegisterClassOnce(kClassName, CS_DBLCLKS, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  CreateWindowOf(kClassName, WS_EX_TOOLWINDOW | WS_EX_LAYERED, WS_POPUP, L"", place.left, place.top,
                 std::max<LONG>(place.right - place.left, 1), std::max<LONG>(place.bottom - place.top, 1));
  SetLayered(hwnd(), 255);
}

void PictureWindow::CreateAgain() {
  // A tip made while the window went (its making lets the destroying thread's messages run) is the old
  // window's.
  toolTip_.reset();
  const SIZE size = PictureSize();
  const POINT at = home_ ? OnAMonitor(*home_, size) : POINT{};
  CreateTheWindow({at.x, at.y, at.x + size.cx, at.y + size.cy});
  SetTipText(tipText);
  SetAlpha(hwnd(), lostOpacity_);
  if (stacking == StackingMode::OnTop) SetTopMost(hwnd(), true);
  if (stacking == StackingMode::OnDesktop) WaitToBePinned();
  // Windows hides a window before it destroys it: one in use shows again unless the program's windows are
  // hidden meanwhile, with the icon window (all of them, or for the full-screen view).
  const MainWindow* main = TheMainWindow();
  if (!isFree && shownBitmap && main && main->Shown()) ShowWindow(hwnd(), SW_SHOWNA);
}

void PictureWindow::GoHome() noexcept {
  if (!exists() || !home_) return;
  RECT now{};
  GetWindowRect(hwnd(), &now);
  const POINT at = OnAMonitor(*home_, {now.right - now.left, now.bottom - now.top});
  if (at.x == now.left && at.y == now.top) return;
  keepingHome_ = true;
  MoveToScreenPoint(hwnd(), at);
  keepingHome_ = false;
}

void PictureWindow::MoveHome(POINT screenTopLeft) noexcept {
  home_ = screenTopLeft;
  homeSize_ = WindowSize(hwnd());
  MoveToScreenPoint(hwnd(), screenTopLeft);
}

// A move the program did not choose (the user's drag, or another program's) makes a new home, unless
// the window was away from home because its home's monitor went: then the move is the one that took it
// off that monitor (Windows moves windows off a monitor that goes), and the home waits for the monitor.
void PictureWindow::OnPositionChanged(const WINDOWPOS& position) noexcept {
  if (position.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) PlayWhileSeen();
  if ((position.flags & SWP_HIDEWINDOW) || keepingHome_) return;
  if (home_ && (position.flags & SWP_NOMOVE) && (position.flags & SWP_NOSIZE)) return;
  const POINT now = ScreenTopLeft(hwnd());
  const SIZE size = WindowSize(hwnd());
  const auto homeRect = [&] {
    return ScreenRect{home_->x, home_->y, home_->x + homeSize_.cx, home_->y + homeSize_.cy};
  };
  if (!home_ || draggedByUser_ || LiesOnAMonitor(homeRect(), CurrentMonitors())) {
    home_ = now;
  } else {
    // Away from home at a new size: the home keeps its centre, as the window did.
    home_->x += (homeSize_.cx - size.cx) / 2;
    home_->y += (homeSize_.cy - size.cy) / 2;
  }
  homeSize_ = size;
}

void PictureWindow::TakeDown() noexcept {
  copy_.reset();
  if (!exists()) return;
  if (InsideDesktopWindow(hwnd()) && !TakeOutOfDesktop(hwnd())) {
    LetGo();
  } else {
    DestroyWindow(hwnd());
  }
}

// Only Windows destroys a picture window while the program runs: a desktop window ends, and with it the
// windows pinned into it, those of other programs too. The program makes it again once it is gone.
void PictureWindow::OnDestroy() noexcept {
  // A window destroyed with its parent, by the parent's thread, leaves the windows it owns behind.
  toolTip_.reset();
  playing_ = false;  // the timer goes with the window
  if (ProgramEnded()) return;
  BYTE alpha = 255;
  DWORD flags = 0;
  lostOpacity_ = GetLayeredWindowAttributes(hwnd(), nullptr, &alpha, &flags) && (flags & LWA_ALPHA) ? alpha : 255;
}

// Destroyed by another thread, the window may take its last message a while after the first.
void PictureWindow::OnFinalMessage() noexcept {
  MainWindow* main = ProgramEnded() ? nullptr : TheMainWindow();
  if (main) main->TellPictureWindowsLost();
}

PictureWindow::~PictureWindow() {
  if (exists()) DestroyWindow(hwnd());
}

void PictureWindow::BuildContextMenu() {
  menus_.reset(CreatePopupMenu());
  const HMENU opacities = CreateOpacityMenu(picture_menu::kOpacity0);  // owned by menus_ from its item on
  HMENU m = menus_.get();
  AppendMenuW(m, MF_STRING, picture_menu::kCopyAtShownSize, L"このサイズでコピー(&C)");
  AppendMenuW(m, MF_STRING, picture_menu::kCopyAtOriginalSize, L"元のサイズでコピー(&O)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(opacities), L"透過(&T)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, picture_menu::kAlwaysOnTop, L"最前面に表示(&T)");
  AppendMenuW(m, MF_STRING, picture_menu::kPinnedToDesktop, L"最背面に表示(&B)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, picture_menu::kFullScreen, L"全画面表示(&F)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, picture_menu::kCloseAndFreeSlot, L"閉じる(&L)");
}

// The tip is made when the pointer first comes over the window: a picture shows sooner without it.
void PictureWindow::OnMouseMove() {
  if (!toolTip_) toolTip_ = CreateWindowToolTip(hwnd(), tipText.c_str());
}

void PictureWindow::SetTipText(std::wstring text) {
  tipText = std::move(text);
  if (toolTip_) SetWindowToolTipText(toolTip_.get(), hwnd(), tipText.c_str());
  // The title names the window for the task switcher and accessibility tools.
  SetWindowTextW(hwnd(), tipText.c_str());
}

void PictureWindow::SetPicture(UniqueBitmap picture) noexcept {
  shownBitmap = std::move(picture);
  // A null window would invalidate the whole desktop.
  if (exists()) InvalidateRect(hwnd(), nullptr, FALSE);
}

SIZE PictureWindow::PictureSize() const noexcept { return BitmapSize(shownBitmap.get()); }

bool PictureWindow::IsChecked(UINT command) const noexcept {
  return (GetMenuState(menus_.get(), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool PictureWindow::IsOpacityChecked(int index) const noexcept { return IsChecked(picture_menu::kOpacity0 + index); }

void PictureWindow::CheckOpacityItem(int index) noexcept {
  for (int i = 0; i < kOpacityPresetCount; ++i) {
    CheckMenuItem(menus_.get(), picture_menu::kOpacity0 + i, MF_BYCOMMAND | MF_UNCHECKED);
  }
  if (index >= 0 && index < kOpacityPresetCount) {
    CheckMenuItem(menus_.get(), picture_menu::kOpacity0 + index, MF_BYCOMMAND | MF_CHECKED);
  }
}

void PictureWindow::SetStackingChecks(bool onTop, bool onDesktop) noexcept {
  CheckMenuItem(menus_.get(), picture_menu::kAlwaysOnTop, MF_BYCOMMAND | (onTop ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menus_.get(), picture_menu::kPinnedToDesktop, MF_BYCOMMAND | (onDesktop ? MF_CHECKED : MF_UNCHECKED));
}

void PictureWindow::OnLeftButtonDown() {
  draggedByUser_ = true;
  StartWindowDrag(hwnd());  // returns when the drag is over
  draggedByUser_ = false;
}

void PictureWindow::OnRightButtonUp() {
  POINT cursor{};
  GetCursorPos(&cursor);
  TrackPopup(menus_.get(), TPM_RIGHTBUTTON, cursor, hwnd());
}

void PictureWindow::OnDoubleClick() { ShowFullScreen(); }

void PictureWindow::SetOwnOpacity(int preset) {
  if (preset < 0 || preset >= kOpacityPresetCount) return;
  CheckOpacityItem(preset);
  SetAlpha(hwnd(), kOpacityPresets[preset]);
}

void PictureWindow::CloseByUser() {
  if (isFree) return;
  RECT place{};
  GetWindowRect(hwnd(), &place);
  int preset = kOpacityPresetCount - 1;
  while (preset > 0 && !IsOpacityChecked(preset)) --preset;
  const Closed closed{
      picturePath, {(place.left + place.right) / 2, (place.top + place.bottom) / 2}, preset, stacking, animationFrame};
  CloseAndFreeSlot(&closed);
}

void PictureWindow::CloseAndFreeSlot(const Closed* byUser) {
  isFree = true;
  ++occupancy;
  Animate(nullptr);
  SetPicture(UniqueBitmap{});
  picturePath.clear();
  home_.reset();
  ShowWindow(hwnd(), SW_HIDE);
  slotFreed_(byUser);
}

void PictureWindow::ShowFullScreen() { showFullScreen_(*this); }

void PictureWindow::OnCommand(UINT id) {
  switch (id) {
    case picture_menu::kCopyAtShownSize: CopyAtShownSize(); break;
    case picture_menu::kCopyAtOriginalSize: CopyAtOriginalSize(); break;
    case picture_menu::kAlwaysOnTop: ToggleAlwaysOnTop(); break;
    case picture_menu::kPinnedToDesktop: TogglePinnedToDesktop(); break;
    case picture_menu::kFullScreen: ShowFullScreen(); break;
    case picture_menu::kCloseAndFreeSlot: CloseByUser(); break;
    default:
      if (id >= picture_menu::kOpacity0 && id < picture_menu::kOpacity0 + kOpacityPresetCount) {
        SetOwnOpacity(static_cast<int>(id - picture_menu::kOpacity0));
      }
      break;
  }
}

void PictureWindow::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  if (shownBitmap) {
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    SelectedObject selected(memory.get(), shownBitmap.get());
    const SIZE size = PictureSize();
    BitBlt(dc, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
  }
  EndPaint(hwnd(), &ps);
}

LRESULT PictureWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND:
      if (shownBitmap) return 1;
      break;
    case WM_MOUSEMOVE: OnMouseMove(); return 0;
    case WM_LBUTTONDOWN: OnLeftButtonDown(); return 0;
    case WM_RBUTTONUP: OnRightButtonUp(); return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONUP: return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(); return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0) OnCommand(LOWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      if (ApplyBusyCursor()) return TRUE;
      break;
    case WM_WINDOWPOSCHANGING:
      // Only the system's own WINDOWPOS is read, and the system lets a window change its own.
      if (const auto* place = SystemPointer<WINDOWPOS>(lParam, SentFrom::AnyThread))
        OnPositionChanging(*const_cast<WINDOWPOS*>(place));
      break;
    case WM_WINDOWPOSCHANGED:
      if (const auto* place = SystemPointer<WINDOWPOS>(lParam, SentFrom::AnyThread)) OnPositionChanged(*place);
      break;
    case kDesktopAnswered:
      if (pinning_.answered) pinning_.answered(wParam, lParam);
      return 0;
    case WM_TIMER:
      if (wParam == kCopyDeadlineTimer) OnCopyDeadline();
      if (wParam == kAnimationTimer) OnAnimationTimer();
      return 0;
    case WM_DESTROY: OnDestroy(); break;
    case WM_NCDESTROY: OnFinalMessage(); break;
    case WM_CLOSE:
      // The table owns picture windows until the program ends: a close request only frees the slot.
      CloseByUser();
      return 0;
    case WM_KEYDOWN:
      if (IsUndoKey(wParam)) {
        if (MainWindow* main = TheMainWindow()) main->OpenLastClosedLater();
        return 0;
      }
      break;
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace pintaro
