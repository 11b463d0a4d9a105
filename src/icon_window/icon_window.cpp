#include "icon_window/icon_window.h"

#include "icon_window/drop_filter.h"

#include <algorithm>
#include <iterator>

#include "win32/program.h"
#include "win32/system_libraries.h"
#include "win32/busy_cursor.h"
#include "win32/dde_names.h"
#include "win32/dpi.h"
#include "win32/message_box.h"
#include "win32/name_limits.h"
#include "win32/popup_menu.h"
#include "win32/posted_pointers.h"
#include "win32/texts.h"
#include "win32/tool_tip.h"
#include "win32/window_drag.h"
#include "win32/window_position.h"
#include "menu/about_dialog.h"
#include "menu/main_menu.h"
#include "picture_windows/show_and_arrange.h"
#include "icon_window/notify_icon.h"
#include "win32/messages_and_timers.h"
#include "picture_window/stacking.h"
#include "picture_windows/picture_windows.h"
#include "win32/layered.h"
#include "resources/resource_ids.h"

namespace pintaro {

namespace {
// How long after the exit command the program ends (kEndTimer): its menu closes first.
constexpr UINT kEndTimerInterval = 250;
// How often and how long the icon window looks for the desktop window's move after the monitors changed
// (kDesktopWatchTimer).
constexpr UINT kDesktopWatchMs = 250;
constexpr int kDesktopWatchTicks = 40;
}  // namespace

IconWindow::IconWindow(CommandNames namesOf) : namesOf_(std::move(namesOf)) {}

// The window goes while the members its messages use still exist.
IconWindow::~IconWindow() {
  if (exists()) DestroyWindow(hwnd());
}

void IconWindow::Show() {
  if (!exists()) {
    CreateIconWindow();
    linkSource_.Open(
        hwnd(), kLinkService, kLinkTopicName,
        [this](const std::wstring& command, short& cancel) { OnDdeExecute(command, cancel); }, kMaxHandOffBytes);
  }
  Initialize();
}

// OLE, not only COM: a drop target needs it. It takes a while to set up, and no picture needs it.
void IconWindow::AcceptDrops() {
  if (!oleInitialized_) oleInitialized_ = SUCCEEDED(ole32::OleInitialize(nullptr));
  // OLE's set-up may let sent messages run, and an end destroy the window meanwhile: OLE goes again.
  if (!exists() && std::exchange(oleInitialized_, false)) ole32::OleUninitialize();
  if (exists()) dropTarget_.Register(hwnd());
}

void IconWindow::CreateIconWindow() {
  RegisterClassOnce(kClassName, CS_DBLCLKS);  // a tool window: no icon of its own shows anywhere
  // Layered and in the topmost band from the start: a window changed so afterwards is made again.
  // Made where the icon goes on a screen of the system's scale: a window on another screen moves.
  const RECT place = PlaceAtScale(DpiOf(nullptr));
  CreateWindowOf(kClassName, WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST, WS_POPUP, kTitle, place.left, place.top,
                 place.right - place.left, place.bottom - place.top);
}

// The window's pixels are the screen's: its size and place follow the screen's scale, as the taskbar's
// do, so that the icon stays clear of it.
RECT IconWindow::PlaceAtScale(UINT dpi) noexcept {
  const int left = GetSystemMetrics(SM_CXSCREEN) - ScaledForDpi(kFromRight, dpi);
  const int top = GetSystemMetrics(SM_CYSCREEN) - ScaledForDpi(kFromBottom, dpi);
  const int size = ScaledForDpi(kIconSize, dpi);
  return {left, top, left + size, top + size};
}

void IconWindow::Initialize() {
  const UINT dpi = DpiOf(hwnd());
  TakeSize(dpi, PlaceAtScale(dpi));
  SetColorKey(hwnd(), kIconBackground, 0);  // made layered, opaque but for the key, at its creation
  // Activation costs a round of messages with the window manager: it waits for Activate, at the end
  // of the start-up.
  ShowWindow(hwnd(), SW_SHOWNA);
  UpdateWindow(hwnd());  // drawn at once, whatever the start-up waits for next
}

// The user may have moved on meanwhile, to another program, a picture or its full-screen view: the
// foreground then stays where it went.
void IconWindow::Activate(HWND foregroundAtStart) {
  if (GetForegroundWindow() == foregroundAtStart && IsWindowVisible(hwnd())) SetForegroundWindow(hwnd());
}

// Drops do not count against the bounds: each is a user's own, at most kMaxDroppedNames, and none
// comes while a message is up, as the icon window is disabled then.
void IconWindow::OnDdeExecute(const std::wstring& command, short& cancel) {
  if (ProgramEnding()) return;  // refused: the later start waits for the end and runs as the first
  std::vector<std::wstring> names = namesOf_ ? namesOf_(command) : std::vector<std::wstring>{};
  std::size_t bytes = 0;
  for (const std::wstring& name : names) bytes += name.size() * sizeof(wchar_t);
  if (handOffNamesWaiting_ + names.size() > kMaxWaitingHandOffNames ||
      handOffBytesWaiting_ + bytes > kMaxWaitingHandOffBytes)
    return;
  cancel = 0;
  if (names.empty()) return;
  const std::size_t count = names.size();
  OpenLater({[names = std::move(names)](std::function<void()> begun) { OpenPictureFiles(names, {}, nullptr, begun); },
             count, bytes});
}

void IconWindow::OnDropped(std::vector<std::wstring> names) {
  OpenLater({[this, names = std::move(names)](const std::function<void()>&) { OnDrop(names); }});
}

void IconWindow::OpenLater(WaitingOpening opening) {
  handOffNamesWaiting_ += opening.handOffNames;
  handOffBytesWaiting_ += opening.handOffBytes;
  waitingOpenings_.push_back(std::move(opening));
  PostMessageW(hwnd(), kOpenWaitingPictures, 0, 0);
}

// Each goes to the opening queue, behind those asked for before; a hand-off counts against the bounds
// until its turn comes.
void IconWindow::OnOpenWaitingPictures() {
  while (!waitingOpenings_.empty() && !ProgramEnded()) {
    WaitingOpening opening = std::move(waitingOpenings_.front());
    waitingOpenings_.pop_front();
    try {
      opening.open([this, names = opening.handOffNames, bytes = opening.handOffBytes] {
        handOffNamesWaiting_ -= names;
        handOffBytesWaiting_ -= bytes;
      });
    } catch (...) {
      // Memory ran out for a list of names: it is not opened, and counts no more.
      handOffNamesWaiting_ -= opening.handOffNames;
      handOffBytesWaiting_ -= opening.handOffBytes;
    }
  }
}

void IconWindow::OnDrop(const std::vector<std::wstring>& names) {
  std::vector<std::wstring> pictures;
  std::copy_if(names.begin(), names.end(), std::back_inserter(pictures), IsDroppablePictureName);
  OpenPictureFiles(pictures);
}

void IconWindow::StopWheelAndClipboard() noexcept {
  RemoveClipboardFormatListener(hwnd());
  wheelAndClipboardOn_ = false;
}

void IconWindow::OnMouseWheel(int distance) {
  if (!wheelAndClipboardOn_) return;
  try {
    if (const int step = wheelNotches_.Add(distance)) StepAllSizes(step);
  } catch (...) {
    // A size change that ran out of memory leaves the windows as far as it got.
  }
}

void IconWindow::OnClipboardUpdate() {
  if (wheelAndClipboardOn_) TheMainMenu().SetPasteEnabled(IsClipboardFormatAvailable(CF_BITMAP) != FALSE);
}

void IconWindow::OnEndSession() { ShutDown(); }

// Closed from outside (End task): the program ends in order, as at a log-off.
void IconWindow::OnClose() {
  if (TheMainWindow() == this) {
    ShutDown();
  } else {
    DestroyWindow(hwnd());
  }
}

// The tip is made when the pointer first comes over the window: the start-up does without it.
void IconWindow::OnMouseMove() {
  if (!toolTip_) toolTip_ = CreateWindowToolTip(hwnd(), kDropHereTip);
}

void IconWindow::OnLeftButtonDown() { StartWindowDrag(hwnd()); }

void IconWindow::OnRightButtonUp() { OpenMainMenuAtCursor(); }

void IconWindow::OpenMainMenuAtCursor() {
  POINT cursor{};
  GetCursorPos(&cursor);
  TrackPopup(TheMainMenu().handle(), TPM_RIGHTBUTTON, cursor, hwnd());
}

void IconWindow::OnDoubleClick() { ArrangeWindows(); }

void IconWindow::OnNotifyIconMessage(UINT mouseMessage) {
  if (const HWND dialog = AboutDialogWindow()) {
    // The version dialog holds the program until it closes: a click shows where it is.
    if (mouseMessage == WM_LBUTTONDBLCLK || mouseMessage == WM_RBUTTONUP) SetForegroundWindow(dialog);
    return;
  }
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    HideAllWindows();
  } else if (mouseMessage == WM_RBUTTONUP) {
    // The menu closes on a click elsewhere only when its owner's thread is in front: it opens once the
    // messages that bringing the thread there makes have run.
    SetForegroundWindow(hwnd());
    PostMessageW(hwnd(), kOpenMainMenu, 0, 0);
  }
}

void IconWindow::SetShown(bool shown) noexcept { ShowWindow(hwnd(), shown ? SW_SHOWNA : SW_HIDE); }

void IconWindow::TakeFocusIfShown() noexcept {
  if (Shown()) SetFocus(hwnd());
}

int IconWindow::Width() const noexcept {
  RECT place{};
  GetWindowRect(hwnd(), &place);
  return place.right - place.left;
}

void IconWindow::TellPictureWindowsLost() noexcept { PostMessageW(hwnd(), kPictureWindowsLost, 0, 0); }

void IconWindow::EndSoon() noexcept { SetTimer(hwnd(), kEndTimer, kEndTimerInterval, nullptr); }

void IconWindow::OnEndTimer() { ShutDown(); }

void IconWindow::OpenLastClosedLater() noexcept {
  try {
    OpenLater({[](const std::function<void()>&) { OpenLastClosed(); }});
  } catch (const std::bad_alloc&) {
    // Memory too short for the request: the key does nothing, and the picture stays remembered.
  }
}

void IconWindow::OnPictureWindowsLost() { RestoreLostPictureWindows(); }

void IconWindow::OnDisplayChange() {
  KeepPictureWindowsOnMonitors();
  RECT now{};
  GetWindowRect(hwnd(), &now);
  if (const POINT at = OnAMonitor({now.left, now.top}, {now.right - now.left, now.bottom - now.top});
      at.x != now.left || at.y != now.top) {
    // The screen it was on went, or the primary screen shrank: back to its place.
    const UINT dpi = DpiOf(hwnd());
    TakeSize(dpi, PlaceAtScale(dpi));
  }
  WatchDesktop();
}

void IconWindow::WatchDesktop() {
  desktopWatchTicks_ = kDesktopWatchTicks;
  SetTimer(hwnd(), kDesktopWatchTimer, kDesktopWatchMs, nullptr);
}

// Explorer moves its desktop window a moment after the monitors changed, and the pictures inside it go
// with it.
void IconWindow::OnDesktopWatchTimer() {
  KeepPictureWindowsOnMonitors();
  if (--desktopWatchTicks_ <= 0) KillTimer(hwnd(), kDesktopWatchTimer);
}

void IconWindow::OnTaskbarCreated() {
  RestoreNotifyIcon();
  RequestPinning();
}

void IconWindow::TakeSize(UINT dpi, const RECT& place) {
  size_ = ScaledForDpi(kIconSize, dpi);
  // The pin at its own size: the icon holds an image for each scale up to 200 %.
  icon_.reset(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size_, size_, LR_DEFAULTCOLOR)));
  PlaceAtScreenPoint(hwnd(), {place.left, place.top}, {size_, size_});
  InvalidateRect(hwnd(), nullptr, FALSE);
}

// Moved to a screen of another scale: the place Windows suggests, at that screen's size. A notice from
// another thread, whose numbers anyone may have made, is only a cue: the window takes its own scale, where it is.
void IconWindow::OnDpiChanged(WPARAM dpis, LPARAM suggested) {
  if (const RECT* place = SystemPointer<RECT>(suggested, SentFrom::ThisThread)) return TakeSize(LOWORD(dpis), *place);
  RECT now{};
  GetWindowRect(hwnd(), &now);
  TakeSize(DpiOf(hwnd()), now);
}

void IconWindow::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  RECT client{0, 0, size_, size_};
  UniqueBrush background(CreateSolidBrush(kIconBackground));
  FillRect(dc, &client, background.get());
  if (icon_) DrawIconEx(dc, 0, 0, icon_.get(), size_, size_, 0, nullptr, DI_NORMAL);
  EndPaint(hwnd(), &ps);
}

LRESULT IconWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (linkSource_.HandleMessage(message, wParam, lParam)) return 0;
  if (message == TaskbarCreatedMessage() && message != 0) OnTaskbarCreated();
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case kNotifyIconCallback:  // WM_MOUSEMOVE too: a move's x is never a mouse message the icon acts on
      OnMouseMove();
      OnNotifyIconMessage(LOWORD(lParam));
      return 0;
    case kOpenWaitingPictures: OnOpenWaitingPictures(); return 0;
    case kOpenMainMenu:
      if (!AboutDialogWindow()) OpenMainMenuAtCursor();
      return 0;
    case kPictureWindowsLost: OnPictureWindowsLost(); return 0;
    case kNotifyIconAnswered: OnNotifyIconAnswered(wParam != 0, lParam); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: OnLeftButtonDown(); return 0;
    case WM_RBUTTONUP: OnRightButtonUp(); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(); return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_KEYDOWN:
      if (IsUndoKey(wParam)) OpenLastClosedLater();
      break;
    case WM_CLIPBOARDUPDATE: OnClipboardUpdate(); return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0) TheMainMenu().OnCommand(LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kEndTimer) OnEndTimer();
      if (wParam == kNotifyIconRetryTimer) RetryAddingNotifyIcon();
      if (wParam == kDesktopWatchTimer) OnDesktopWatchTimer();
      return 0;
    case WM_SETCURSOR:
      if (ApplyBusyCursor()) return TRUE;
      break;
    case WM_QUERYENDSESSION: return TRUE;  // the close is never refused
    case WM_ENDSESSION:
      if (wParam) OnEndSession();
      return 0;
    case WM_DESTROY:
      dropTarget_.Revoke();
      if (std::exchange(oleInitialized_, false)) ole32::OleUninitialize();
      linkSource_.Close();
      return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DISPLAYCHANGE: OnDisplayChange(); break;
    case WM_DPICHANGED: OnDpiChanged(wParam, lParam); return 0;
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace pintaro
