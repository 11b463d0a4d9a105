#include "win32/posted_pointers.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace pintaro {

namespace {

constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE, beyond the headers' Windows version

// The messages whose parameters hold pointers to what the system made, below WM_USER.
constexpr UINT kSystemPointerMessages[] = {
    WM_CREATE,           WM_NCCREATE,      WM_NCCALCSIZE,     WM_GETMINMAXINFO, WM_WINDOWPOSCHANGING,
    WM_WINDOWPOSCHANGED, WM_STYLECHANGING, WM_STYLECHANGED,   WM_SETTEXT,       WM_GETTEXT,
    WM_DRAWITEM,         WM_MEASUREITEM,   WM_DELETEITEM,     WM_COMPAREITEM,   WM_NOTIFY,
    WM_COPYDATA,         WM_HELP,          WM_INITDIALOG,     WM_SIZING,        WM_MOVING,
    WM_NEXTMENU,         WM_GETDLGCODE,    WM_DPICHANGED,     WM_DEVMODECHANGE, WM_SETTINGCHANGE,
    WM_DEVICECHANGE,     WM_MDICREATE,     kGetDpiScaledSize,
};

bool IsToolTip(HWND hwnd) noexcept {
  wchar_t name[32] = {};
  return GetClassNameW(hwnd, name, static_cast<int>(std::size(name))) > 0 &&
         CompareStringOrdinal(name, -1, TOOLTIPS_CLASSW, -1, TRUE) == CSTR_EQUAL;
}

LRESULT CALLBACK TurnPostedPointersIntoNothing(int code, WPARAM removed, LPARAM lParam) noexcept {
  if (code == HC_ACTION) {
    MSG& msg = *reinterpret_cast<MSG*>(lParam);
    if (CarriesSystemPointer(msg.message, msg.hwnd)) msg = MSG{msg.hwnd, WM_NULL, 0, 0, msg.time, msg.pt};
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}

}  // namespace

bool CarriesSystemPointer(UINT message, HWND to) noexcept {
  if (message >= WM_USER && message < WM_APP) return to && IsToolTip(to);
  return std::find(std::begin(kSystemPointerMessages), std::end(kSystemPointerMessages), message) !=
         std::end(kSystemPointerMessages);
}

PostedPointerGuard::PostedPointerGuard() noexcept
    : hook_(SetWindowsHookExW(WH_GETMESSAGE, &TurnPostedPointersIntoNothing, nullptr, GetCurrentThreadId())) {}

PostedPointerGuard::~PostedPointerGuard() = default;

}  // namespace pintaro
