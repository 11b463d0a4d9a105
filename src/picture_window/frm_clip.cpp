#include "picture_window/frm_clip.h"

#include <windowsx.h>

#include <array>

#include "win32/busy_cursor.h"
#include "win32/popup_menu.h"
#include "win32/tool_tip.h"
#include "win32/window_drag.h"
#include "picture_window/clip_menu_ids.h"
#include "pictures/clip_windows.h"
#include "pictures/dib_bitmap.h"
#include "pictures/layered.h"

namespace pintaro {

namespace {

struct AlphaItem {
  const wchar_t* caption;
  const wchar_t* tag;  // opacity as decimal text
};

constexpr std::array<AlphaItem, clip_menu::kAlphaCount> kAlphaItems{{
    {L"透過なし", L"255"},
    {L"1/4 透過", L"191"},
    {L"1/2 透過", L"127"},
    {L"3/4 透過", L"63"},
}};

}  // namespace

FrmClip::FrmClip() {
  RegisterClassOnce(kClassName, CS_DBLCLKS, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  CreateWindowOf(kClassName, WS_EX_TOOLWINDOW, WS_POPUP, L"", CW_USEDEFAULT, CW_USEDEFAULT, 1, 1);
  BuildContextMenu();
  CreateToolTip();
  Form_Load();
}

void FrmClip::Form_Load() { SetLayered(hwnd(), 255); }

void FrmClip::BuildContextMenu() {
  menus_.reset(CreatePopupMenu());
  alphaMenu_ = CreatePopupMenu();
  for (int i = 0; i < clip_menu::kAlphaCount; ++i) {
    AppendMenuW(alphaMenu_, MF_STRING, clip_menu::kAlpha0 + i, kAlphaItems[i].caption);
  }
  HMENU m = menus_.get();
  AppendMenuW(m, MF_STRING, clip_menu::kCopy, L"このサイズでコピー(&C)");
  AppendMenuW(m, MF_STRING, clip_menu::kCopyOrigSize, L"元のサイズでコピー(&O)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(alphaMenu_), L"透過(&T)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, clip_menu::kWindowOrder1, L"最前面に表示(&T)");
  AppendMenuW(m, MF_STRING, clip_menu::kWindowOrder2, L"最背面に表示(&B)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, clip_menu::kFullScreen, L"全画面表示(&F)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, clip_menu::kCloseWindow, L"閉じる(&L)");
}

void FrmClip::CreateToolTip() { toolTip_ = CreateWindowToolTip(hwnd(), L""); }

void FrmClip::SetToolTipText(std::wstring text) {
  Image1.ToolTipText = std::move(text);
  SetWindowToolTipText(toolTip_.get(), hwnd(), Image1.ToolTipText.c_str());
  // The title names the window for the task switcher and accessibility tools.
  SetWindowTextW(hwnd(), Image1.ToolTipText.c_str());
}

void FrmClip::SetPicture(UniqueBitmap picture) noexcept {
  Image1.Picture = std::move(picture);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

SIZE FrmClip::PictureSize() const noexcept { return BitmapSize(Image1.Picture.get()); }

bool FrmClip::IsChecked(UINT command) const noexcept {
  return (GetMenuState(menus_.get(), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool FrmClip::IsAlphaChecked(int index) const noexcept { return IsChecked(clip_menu::kAlpha0 + index); }

void FrmClip::CheckAlphaItem(int index) noexcept {
  for (int i = 0; i < clip_menu::kAlphaCount; ++i) {
    CheckMenuItem(menus_.get(), clip_menu::kAlpha0 + i, MF_BYCOMMAND | MF_UNCHECKED);
  }
  if (index >= 0 && index < clip_menu::kAlphaCount) {
    CheckMenuItem(menus_.get(), clip_menu::kAlpha0 + index, MF_BYCOMMAND | MF_CHECKED);
  }
}

void FrmClip::SetWindowOrderChecks(bool order1, bool order2) noexcept {
  CheckMenuItem(menus_.get(), clip_menu::kWindowOrder1, MF_BYCOMMAND | (order1 ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menus_.get(), clip_menu::kWindowOrder2, MF_BYCOMMAND | (order2 ? MF_CHECKED : MF_UNCHECKED));
}

void FrmClip::Form_MouseDown(int Button, int, int, int) {
  if (Button == 1) StartWindowDrag(hwnd());
}

void FrmClip::Image1_MouseDown(int Button, int Shift, int X, int Y) { Form_MouseDown(Button, Shift, X, Y); }

void FrmClip::Image1_MouseUp(int Button, int, int, int) {
  if (Button != 2) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  TrackPopup(menus_.get(), TPM_RIGHTBUTTON, cursor, hwnd());
}

void FrmClip::Image1_DblClick() { mnuFullScreen_Click(); }

void FrmClip::mnuAlpha_Click(int Index) {
  if (Index < 0 || Index >= clip_menu::kAlphaCount) return;
  CheckAlphaItem(Index);
  SetAlpha(hwnd(), _wtoi(kAlphaItems[Index].tag));
}

void FrmClip::mnuCloseWindow_Click() {
  Tag = kFreeTag;
  SetPicture(UniqueBitmap{});
  Image1.Tag.clear();
  ShowWindow(hwnd(), SW_HIDE);
}

void FrmClip::DropFile(const std::wstring& strFN) { OpenPictureFile(std::wstring(strFN)); }

int FrmClip::ShiftState(WPARAM wParam) noexcept {
  return ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

void FrmClip::OnCommand(UINT id) {
  switch (id) {
    case clip_menu::kCopy: mnuCopy_Click(); break;
    case clip_menu::kCopyOrigSize: mnuCopyOrigSize_Click(); break;
    case clip_menu::kWindowOrder1: mnuWindowOrder1_Click(); break;
    case clip_menu::kWindowOrder2: mnuWindowOrder2_Click(); break;
    case clip_menu::kFullScreen: mnuFullScreen_Click(); break;
    case clip_menu::kCloseWindow: mnuCloseWindow_Click(); break;
    default:
      if (id >= clip_menu::kAlpha0 && id < clip_menu::kAlpha0 + clip_menu::kAlphaCount) {
        mnuAlpha_Click(static_cast<int>(id - clip_menu::kAlpha0));
      }
      break;
  }
}

void FrmClip::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  if (Image1.Picture) {
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    SelectedObject selected(memory.get(), Image1.Picture.get());
    const SIZE size = PictureSize();
    BitBlt(dc, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
  }
  EndPaint(hwnd(), &ps);
}

LRESULT FrmClip::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND:
      if (Image1.Picture) return 1;
      break;
    case WM_LBUTTONDOWN: Image1_MouseDown(1, ShiftState(wParam), x, y); return 0;
    case WM_RBUTTONDOWN: Image1_MouseDown(2, ShiftState(wParam), x, y); return 0;
    case WM_MBUTTONDOWN: Image1_MouseDown(4, ShiftState(wParam), x, y); return 0;
    case WM_LBUTTONUP: Image1_MouseUp(1, ShiftState(wParam), x, y); return 0;
    case WM_RBUTTONUP: Image1_MouseUp(2, ShiftState(wParam), x, y); return 0;
    case WM_MBUTTONUP: Image1_MouseUp(4, ShiftState(wParam), x, y); return 0;
    case WM_LBUTTONDBLCLK: Image1_DblClick(); return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0) OnCommand(LOWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      if (ApplyBusyCursor()) return TRUE;
      break;
    case WM_CLOSE:
      // The table owns picture windows until the program ends: a close request only frees the slot.
      mnuCloseWindow_Click();
      return 0;
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace pintaro
