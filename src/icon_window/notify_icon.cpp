#include "icon_window/notify_icon.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <iterator>

#include "win32/program.h"
#include "win32/handles.h"
#include "win32/texts.h"
#include "resources/resource_ids.h"

namespace pintaro {

namespace {

constexpr UINT kTrayIconId = 1;

bool g_trayIconAdded = false;
NOTIFYICONDATAW g_record{};
UniqueIcon g_smallIcon;

// The 16-colour picture before Windows XP (5.1), the 256-colour one from then on.
int TrayIconResource() noexcept {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#elif defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
  GetVersionExW(&version);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  const bool before51 = version.dwMajorVersion < 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion < 1);
  return before51 ? IDI_TRAY_16 : IDI_TRAY_256;
}

}  // namespace

void AddNotifyIcon() noexcept {
  const HWND main = IconWindowHandle();
  if (!main || g_trayIconAdded) return;  // the record added holds the icon it shows
  g_smallIcon.reset(
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TrayIconResource()), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
  g_record = {};
  g_record.cbSize = sizeof(g_record);
  g_record.hWnd = main;
  g_record.uID = kTrayIconId;
  g_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_record.uCallbackMessage = kNotifyIconCallback;
  g_record.hIcon = g_smallIcon.get();
  wcsncpy(g_record.szTip, kTitle, std::size(g_record.szTip) - 1);
  Shell_NotifyIconW(NIM_ADD, &g_record);
  g_trayIconAdded = true;
}

void RemoveNotifyIcon() noexcept {
  if (!g_trayIconAdded) return;
  Shell_NotifyIconW(NIM_DELETE, &g_record);
  g_trayIconAdded = false;
}

bool NotifyIconAdded() noexcept { return g_trayIconAdded; }

void RestoreNotifyIcon() noexcept {
  if (g_trayIconAdded) Shell_NotifyIconW(NIM_ADD, &g_record);
}

}  // namespace pintaro
