// The real program on other screens. At 144 dots per inch: what is given in pixels stays in device pixels,
// and the twips of the arrangement, the size change and the full-screen view are 10 to the pixel, not 15.
// With a second monitor, plugged in and out.
#include <algorithm>
#include <memory>
#include <string_view>

#include "picture_window/picture_menu_ids.h"
#include "support/app_fixture.h"
#include "win32/system_libraries.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

// Started with PINTARO_READ_MONITORS set, this program only makes Wine read the monitors again and tell
// every program, which only a process started after the change can, and ends. Wine applies the settings
// again only when every display has some in the registry: a monitor plugged in has none yet.
const bool g_readMonitors = [] {
  if (!GetEnvironmentVariableW(L"PINTARO_READ_MONITORS", nullptr, 0)) return false;
  DISPLAY_DEVICEW display{sizeof(display)};
  for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &display, 0); ++i)
    if (DEVMODEW mode{.dmSize = sizeof(DEVMODEW)};
        EnumDisplaySettingsW(display.DeviceName, ENUM_CURRENT_SETTINGS, &mode))
      ChangeDisplaySettingsExW(display.DeviceName, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
  ExitProcess(static_cast<UINT>(ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr)));
}();

// Plugs a 1280 x 1024 monitor in left of the primary one, in the room the session's screen has for it, or
// unplugs it: xrandr, of whose process Wine gives no handle to wait for, then readers (this program again)
// until this process sees the change.
bool PlugLeftMonitor(bool in) {
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION xrandr{};
  std::wstring line = L"Z:\\usr\\bin\\xrandr " +
                      std::wstring(in ? L"--setmonitor SECOND 1280/339x1024/271+0+0 none" : L"--delmonitor SECOND");
  CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &xrandr);
  SetEnvironmentVariableW(L"PINTARO_READ_MONITORS", L"1");
  const auto read = [&] {
    return ChildProcess(GetCommandLineW()).WaitForExit(5s) && GetSystemMetrics(SM_CMONITORS) == 1 + in;
  };
  return WaitUntil(read, 20s);
}

// Sets the screen's resolution that programs started from now on take, until the guard returned goes: the
// system's, the user's LogPixels that Wine reads as a process starts, and from Wine 10 on the screen's own,
// kept with the display source that \Device\Video0 names. (A test killed meanwhile leaves them to the next
// session's start, which sets them again.)
std::shared_ptr<void> LogPixels(DWORD dpi) {
  wchar_t video[MAX_PATH] = {};
  DWORD size = sizeof(video), was = 0;
  RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\VIDEO", L"\\Device\\Video0", RRF_RT_REG_SZ, nullptr, video,
               &size);
  const std::wstring source =
      L"System\\CurrentControlSet\\Hardware Profiles\\Current\\" +
      std::wstring(video).substr(std::min<std::size_t>(wcslen(video), 18));  // past "\Registry\Machine\"
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  size = sizeof(was);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, source.c_str(), L"Dpi", RRF_RT_REG_DWORD, nullptr, &was, &size) == 0)
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, source.c_str(), L"Dpi", REG_DWORD, &dpi, sizeof(dpi));
  return std::shared_ptr<void>(nullptr, [=](void*) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
    if (was) RegSetKeyValueW(HKEY_LOCAL_MACHINE, source.c_str(), L"Dpi", REG_DWORD, &was, sizeof(was));
  });
}

// With a monitor left of the primary one, which goes in the end.
TEST(HighDpiTest, At144DotsPerInchWithAMonitorLeftPlacesAreThePrimarysInDevicePixelsAndNoWindowIsLostWhenItGoes) {
  // Pixels as the program has them: a test unaware of the screen's scale would see them scaled, as on Windows.
  if (const auto aware = LibraryFunction<BOOL WINAPI(DPI_AWARENESS_CONTEXT)>(GetModuleHandleW(L"user32.dll"),
                                                                             "SetProcessDpiAwarenessContext"))
    aware(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  ASSERT_TRUE(GetSystemMetrics(SM_CXSCREEN) == 1024 && GetSystemMetrics(SM_CYSCREEN) == 768) << "a 1024 x 768 screen";
  // The fifth picture, 1024 x 765, fills the full-screen view's width.
  TempDir dir;
  std::wstring arguments;
  for (int i = 0; i < 5; ++i)
    arguments += L" " + Quoted(WriteGradient(dir, L"p" + std::to_wstring(i) + L".bmp", 1024, i < 4 ? 768 : 765));
  // Wine 8 reads a monitor plugged in while programs run. Wine 10's Xinerama handler reports one plugged in as
  // a copy of the primary (and its XRandR handler sees one monitor, the whole root): there the program runs
  // on the primary monitor alone, and the monitor's going cannot be shown.
  const auto wine = LibraryFunction<const char*()>(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
  const bool plugs = !wine || std::string_view(wine()).starts_with("8.");
  const std::shared_ptr<void> unplugInTheEnd(nullptr, [plugs](void*) { plugs&& PlugLeftMonitor(false); });
  ASSERT_TRUE(!plugs || (PlugLeftMonitor(true) && GetSystemMetrics(SM_XVIRTUALSCREEN) == -1280));
  // Windows' desktop window covers the virtual screen from its origin.
  UniqueWindow explorer = DesktopStandIn({plugs ? -1280 : 0, 0, 1024, 768 + (plugs ? 256 : 0)});
  // The program started here runs at 144 dots per inch: Wine reads the user's LogPixels as a process
  // starts, Wine 10 the screen's whenever a process looks at the screens, so both stay until it has ended.
  const std::shared_ptr<void> highDpi = LogPixels(144);
  ChildProcess program = StartPintaro(arguments);
  const HWND icon = WaitForIconWindow(program);
  ASSERT_EQ(RectOf(icon), (RECT{928, 624, 976, 672})) << "48 x 48, 96 and 144 from the primary screen's edges";
  // Start-up shows each window before placing it near the middle of the primary screen, never at the top.
  std::vector<HWND> windows(5);
  const auto placed = [&] {
    const std::vector<HWND> shown = VisibleWindowsOfProcess(program.id(), kPictureClass);
    for (HWND hwnd : shown) windows[WindowText(hwnd)[1] - L'0'] = hwnd;
    return shown.size() == 5 &&
           std::ranges::all_of(shown, [](HWND hwnd) { return std::min(TopLeft(hwnd).x, TopLeft(hwnd).y) > 100; });
  };
  ASSERT_TRUE(WaitUntil(placed, 30s));

  // Left edges once arranged: cells of 1600 twips, 6 columns 1706 twips apart; at 15 twips to the pixel the
  // fifth would be at 683.
  PostMessageW(icon, WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return RectOf(windows[4]).top == 0; }, 10s));
  for (int i = 0; const int left : {0, 171, 341, 512, 682})
    EXPECT_EQ(RectOf(windows[i++]), (RECT{left, 0, left + 160, 120})) << left;

  // 1024 x 765 fills the width; 30 twips are left in height, 15 above: 1.5 pixels round to 2.
  PostMessageW(windows[4], WM_LBUTTONDBLCLK, 0, 0);
  const HWND view = WaitForWindow(program.id(), L"PintaroFullScreen");
  // The view covers the screen, above the pictures along its top: one of them would light row 1 at the
  // middle. (Wine 10 finds no window there through WindowFromPoint from a process started at another scale.)
  ASSERT_EQ(RectOf(view), (RECT{0, 0, 1024, 768}));
  // Whether the screen shows anything but black in the row, at the middle.
  const HDC screen = GetDC(nullptr);
  const auto lit = [&](int y) { return GetPixel(screen, 512, y) != RGB(0, 0, 0); };
  EXPECT_TRUE(WaitUntil([&] { return !lit(1) && lit(2) && lit(766) && !lit(767); }, 10s));
  ReleaseDC(nullptr, screen);
  PostMessageW(view, WM_CHAR, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(windows[4]) != FALSE; }, 10s));

  if (!plugs) return;  // this Wine does not show a monitor plugged in and out while programs run
  // Two pictures pinned into the desktop window, one on each monitor, a third and the icon window on the
  // left one. That one unplugged and the desktop window then moved to the new virtual screen's origin, as
  // Explorer does, every window comes onto the primary screen the least way; one pinned there stays.
  const HWND moved[] = {windows[0], windows[1], windows[2], icon};
  const std::vector<POINT> before{{371, 394}, {-1000, 200}, {-900, 500}, {-200, 900}};
  for (int i = 0; i < 4; ++i)
    SetWindowPos(moved[i], nullptr, before[i].x, before[i].y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < 2; ++i) PostMessageW(moved[i], WM_COMMAND, picture_menu::kPinnedToDesktop, 0);
  const auto places = [&] {
    return std::vector<POINT>{TopLeft(moved[0]), TopLeft(moved[1]), TopLeft(moved[2]), TopLeft(moved[3])};
  };
  EXPECT_TRUE(PumpUntil([&] { return GetAncestor(moved[1], GA_PARENT) == explorer.get() && places() == before; }, 10s))
      << ::testing::PrintToString(places());
  ASSERT_TRUE(PlugLeftMonitor(false));
  SetWindowPos(explorer.get(), nullptr, 0, 0, 1024, 768, SWP_NOZORDER | SWP_NOACTIVATE);
  const std::vector<POINT> after{{371, 394}, {0, 200}, {0, 500}, {928, 624}};
  EXPECT_TRUE(PumpUntil([&] { return places() == after; }, 10s)) << ::testing::PrintToString(places());
  EXPECT_TRUE(program.EndSession(10s) && program.ExitCode() == 0) << "ended in order";
}

}  // namespace
}  // namespace pintaro::test
