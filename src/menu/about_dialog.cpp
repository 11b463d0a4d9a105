#include "menu/about_dialog.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "win32/program.h"
#include "build_texts.h"
#include "menu/main_menu.h"
#include "menu/version_text.h"
#include "resources/resource_ids.h"
#include "win32/handles.h"
#include "win32/modal_block.h"
#include "win32/messages_and_timers.h"
#include "win32/shell_open.h"
#include "win32/system_libraries.h"
#include "win32/texts.h"
#include "win32/version_resource.h"

namespace pintaro {

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kVisitedColour = RGB(136, 0, 136);

struct Link {
  int control;
  std::wstring target;
};

std::array<Link, 2> Links() {
  return {{{IDC_ABOUT_WEB, kWebAddress}, {IDC_ABOUT_MAIL, L"mailto:" + std::wstring(kMailAddress)}}};
}

// Windows 10's per-monitor dialogs send every control the font of a new DPI, which would take the links'
// underline and leave their widths measured for the old one; earlier Windows have no such call.
void KeepFontOnDpiChange(HWND control) noexcept {
  constexpr UINT kDisableFontUpdate = 1;  // DCDC_DISABLE_FONT_UPDATE
  static const auto set = LibraryFunction<BOOL WINAPI(HWND, UINT, UINT)>(GetModuleHandleW(L"user32.dll"),
                                                                         "SetDialogControlDpiChangeBehavior");
  if (set) set(control, kDisableFontUpdate, kDisableFontUpdate);
}

class AboutDialog {
 public:
  // Returns when the dialog has closed.
  void ShowModal() noexcept {
    opening_ = this;
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), nullptr, &DialogProc, 0);
    opening_ = nullptr;
    MenuState::Of().aboutDialog = nullptr;
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<AboutDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    // The dialog's object comes from its opening, never from the message, which anyone can send; and
    // it is set up once.
    if (message == WM_INITDIALOG) {
      if (self || !opening_) return FALSE;
      self = std::exchange(opening_, nullptr);
      SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
      self->hwnd_ = hwnd;
      MenuState::Of().aboutDialog = hwnd;
    }
    if (!self) return FALSE;
    try {
      return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
      return FALSE;
    }
  }

  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: OnInitDialog(); return TRUE;
      case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
      case WM_CTLCOLORSTATIC: return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
      case WM_SETCURSOR: return OnSetCursor(reinterpret_cast<HWND>(wParam));
      case WM_DPICHANGED: PostMessageW(hwnd_, kRefitLinks, 0, 0); return FALSE;
      case kRefitLinks: FitLinks(); return TRUE;
      default: return FALSE;
    }
  }

  void OnInitDialog() {
    SetWindowTextW(hwnd_, (std::wstring(kTitle) + L" のバージョン情報").c_str());
    SetDlgItemTextW(hwnd_, IDC_ABOUT_TITLE, kTitle);
    // The revision shown is FILEVERSION's third number, the patch of src/version.h.
    const FileVersion version = ModuleFileVersion(GetModuleHandleW(nullptr));
    SetDlgItemTextW(hwnd_, IDC_ABOUT_VERSION, VersionText(version.major, version.minor, version.patch).c_str());
    SetDlgItemTextW(hwnd_, IDC_ABOUT_RIGHTS, kRightsNotice);
    SetDlgItemTextW(hwnd_, IDC_ABOUT_WEB, kWebAddress);
    SetDlgItemTextW(hwnd_, IDC_ABOUT_MAIL, kMailAddress);

    for (const Link& link : links_) KeepFontOnDpiChange(GetDlgItem(hwnd_, link.control));
    FitLinks();
    others_.Disable(hwnd_);
  }

  // The links in the dialog's font, underlined, at its DPI.
  void FitLinks() {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)), sizeof(font), &font);
    font.lfUnderline = TRUE;
    UniqueFont previous = std::exchange(linkFont_, UniqueFont(CreateFontIndirectW(&font)));
    for (const Link& link : links_) FitLinkLabel(GetDlgItem(hwnd_, link.control));
  }

  // Underlined, and only as wide as its text, so the hand shows over the address alone; it stops
  // short of the OK button.
  void FitLinkLabel(HWND label) noexcept {
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
    wchar_t text[512] = {};
    const int length = GetWindowTextW(label, text, static_cast<int>(std::size(text)));
    SIZE extent{};
    {
      WindowDc dc(label);
      SelectedObject selected(dc.get(), linkFont_.get());
      GetTextExtentPoint32W(dc.get(), text, length, &extent);
    }
    RECT rect = WindowRectInDialog(label);
    const RECT ok = WindowRectInDialog(GetDlgItem(hwnd_, IDOK));
    const int width = std::min<int>(extent.cx + 1, ok.left - rect.left - 4);
    SetWindowPos(label, nullptr, 0, 0, width, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  RECT WindowRectInDialog(HWND control) const noexcept {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  void OnCommand(WORD id, WORD code) {
    if (id == IDOK || id == IDCANCEL) {
      Close(id);
    } else if (code == STN_CLICKED) {
      for (std::size_t index = 0; index < links_.size(); ++index) {
        if (links_[index].control == id) OpenLink(index);
      }
    }
  }

  void Close(WORD id) noexcept {
    // Back to input before the dialog goes, so the activation can return to one of them.
    others_.Restore();
    EndDialog(hwnd_, id);
  }

  void OpenLink(std::size_t index) {
    visited_[index] = true;
    HWND label = GetDlgItem(hwnd_, links_[index].control);
    InvalidateRect(label, nullptr, TRUE);
    UpdateWindow(label);  // purple on the screen before the shell takes its time
    OpenWithShell(hwnd_, links_[index].target);
  }

  INT_PTR OnControlColour(HDC dc, HWND control) noexcept {
    const int id = GetDlgCtrlID(control);
    for (std::size_t index = 0; index < links_.size(); ++index) {
      if (links_[index].control != id) continue;
      SetTextColor(dc, visited_[index] ? kVisitedColour : kLinkColour);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return FALSE;
  }

  INT_PTR OnSetCursor(HWND under) noexcept {
    const int id = GetDlgCtrlID(under);
    if (id != IDC_ABOUT_WEB && id != IDC_ABOUT_MAIL) return FALSE;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
    return TRUE;
  }

  static inline AboutDialog* opening_ = nullptr;  // the dialog DialogBoxParamW is making
  HWND hwnd_ = nullptr;
  std::array<Link, 2> links_ = Links();
  std::array<bool, 2> visited_{};
  UniqueFont linkFont_;
  OtherWindowsDisabled others_;
};

std::wstring ProgramDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\'));
}

}  // namespace

void ShowAboutDialog() {
  if (const HWND open = AboutDialogWindow()) {
    SetForegroundWindow(open);
    return;
  }
  AboutDialog dialog;
  dialog.ShowModal();
}

HWND AboutDialogWindow() noexcept { return MenuState::Of().aboutDialog; }

void OpenHelp() { OpenWithShell(MainWindowHandle(), ProgramDirectory() + L"\\Readme.html"); }

}  // namespace pintaro
