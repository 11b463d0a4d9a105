#include "icon_window/frm_main.h"

#include "app/program.h"
#include "win32/busy_cursor.h"
#include "icon_window/dde_names.h"
#include "win32/message_box.h"
#include "win32/message_pump.h"
#include "win32/popup_menu.h"
#include "win32/texts.h"
#include "win32/tool_tip.h"
#include "win32/window_drag.h"
#include "menu/clipboard_watch.h"
#include "menu/frm_main_menus.h"
#include "picture_window/stacking.h"
#include "pictures/clip_windows.h"
#include "pictures/layered.h"
#include "resources/resource_ids.h"

namespace pintaro {

namespace {
using namespace std::chrono_literals;
// How long a later start keeps asking while the running instance has no icon window yet.
constexpr auto kHandOffRetry = 5s;
}  // namespace

FrmMain::FrmMain(CommandHandler onCommand) : onCommand_(std::move(onCommand)) {}

FrmMain::FrmMain(std::wstring handOffCommand) : secondInstance_(true), handOffCommand_(std::move(handOffCommand)) {}

// The window goes while the members its messages use still exist.
FrmMain::~FrmMain() {
  if (exists()) DestroyWindow(hwnd());
}

void FrmMain::Show() {
  if (!exists()) {
    CreateWindowAndControls();
    if (!secondInstance_) {
      linkSource_.Open(hwnd(), kLinkService, kLinkTopicName,
                       [this](const std::wstring& command, short& cancel) { Form_LinkExecute(command, cancel); });
    }
  }
  Form_Load();
}

void FrmMain::Load() {
  if (!exists()) CreateWindowAndControls();
  Form_Load();
}

void FrmMain::CreateWindowAndControls() {
  RegisterClassOnce(kClassName, CS_DBLCLKS, nullptr,
                    LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM)));
  CreateWindowOf(kClassName, WS_EX_TOOLWINDOW, WS_POPUP, kTitle, 0, 0, kIconSize, kIconSize);
  CreateControls();
}

void FrmMain::CreateControls() {
  lblCount_ = CreateWindowExW(0, L"STATIC", L"0", WS_CHILD, 0, kIconSize, 32, 16, hwnd(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  toolTip_ = CreateWindowToolTip(hwnd(), kDropHereTip);
  Label1.Create(hwnd());
}

void FrmMain::Form_Load() {
  if (secondInstance_) {
    HandOff();
    return;
  }
  icon_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                            kIconSize, kIconSize, LR_DEFAULTCOLOR)));
  const int left = GetSystemMetrics(SM_CXSCREEN) - 64;
  const int top = GetSystemMetrics(SM_CYSCREEN) - 96;
  SetWindowPos(hwnd(), nullptr, left, top, kIconSize, kIconSize, SWP_NOZORDER | SWP_NOACTIVATE);
  SetLayered(hwnd(), 255);
  SetColorKey(hwnd(), kIconBackground, 0);
  ShowWindow(hwnd(), SW_SHOW);
  PumpMessages();
  SetTopMost(hwnd(), true);
}

// A later start: the command-line argument string goes to the running instance, unparsed.
void FrmMain::HandOff() {
  if (!Label1.LinkOpen()) Label1.OpenLink(kHandOffLinkTopic, kHandOffLinkItem, kHandOffRetry);
  handedOff_ = Label1.LinkOpen() && Label1.LinkExecute(handOffCommand_) == DdeClient::ExecuteResult::Accepted;
  Label1.CloseLink();
  PumpMessages();
  ShowWindow(hwnd(), SW_HIDE);
  if (!handedOff_) ShowMessageBox(nullptr, kRunningInstanceDidNotAnswer, MB_OK | MB_ICONINFORMATION);
}

void FrmMain::Form_LinkExecute(const std::wstring& CmdStr, short& Cancel) {
  Cancel = 0;
  if (onCommand_) onCommand_(CmdStr);
}

void FrmMain::SetCountCaption(int slot) { SetWindowTextW(lblCount_, std::to_wstring(slot).c_str()); }

std::wstring FrmMain::CountCaption() const {
  wchar_t text[32] = {};
  GetWindowTextW(lblCount_, text, 32);
  return text;
}

void FrmMain::EnableEndTimer() noexcept {
  endTimerEnabled_ = true;
  SetTimer(hwnd(), kEndTimerId, kEndTimerInterval, nullptr);
}

void FrmMain::DropFile(const std::wstring& strFN) { OpenPictureFile(std::wstring(strFN)); }

void FrmMain::Form_QueryUnload(short&, short UnloadMode) {
  if (secondInstance_) return;  // a later start owns nothing that ShutDown would undo
  constexpr short kAppWindows = 2;
  if (UnloadMode == kAppWindows && !endTimerEnabled_) ShutDown();
}

void FrmMain::picIcon_MouseDown(int Button) {
  if (Button == 1) StartWindowDrag(hwnd());
}

void FrmMain::picIcon_MouseUp(int Button) {
  if (Button != 2) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  TrackPopup(MainMenus().mnuMenus(), TPM_RIGHTBUTTON, cursor, hwnd());
}

void FrmMain::picIcon_DblClick() {}

void FrmMain::tmrMainEnd_Timer() { ShutDown(); }

void FrmMain::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  RECT client{0, 0, kIconSize, kIconSize};
  UniqueBrush background(CreateSolidBrush(kIconBackground));
  FillRect(dc, &client, background.get());
  if (icon_) DrawIconEx(dc, 0, 0, icon_.get(), kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  EndPaint(hwnd(), &ps);
}

LRESULT FrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (linkSource_.HandleMessage(message, wParam, lParam)) return 0;
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: picIcon_MouseDown(1); return 0;
    case WM_RBUTTONUP: picIcon_MouseUp(2); return 0;
    case WM_LBUTTONDBLCLK: picIcon_DblClick(); return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0) MainMenus().OnCommand(LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kEndTimerId) tmrMainEnd_Timer();
      return 0;
    case WM_CLIPBOARDUPDATE: OnClipboardChange(); return 0;
    case WM_SETCURSOR:
      if (ApplyBusyCursor()) return TRUE;
      break;
    case WM_QUERYENDSESSION: return TRUE;  // the close is never refused
    case WM_ENDSESSION:
      if (wParam) {
        short cancel = 0;
        Form_QueryUnload(cancel, 2);
      }
      return 0;
    case WM_DESTROY: linkSource_.Close(); return 0;
    case WM_CLOSE: {
      short cancel = 0;
      Form_QueryUnload(cancel, 0);
      DestroyWindow(hwnd());
      return 0;
    }
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace pintaro
