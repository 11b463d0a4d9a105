// The program at its limit of open pictures, in the real program code under Windows (or Wine): one drop
// of more names than the limit opens as many as it allows and says so once; the GDI and USER objects
// and the private memory the pictures hold at 160 and at 480 pixels; then how long the orderly end takes
// with them all open (the exit command's bound is two seconds).
//   limit_bench FILE [EXTRA [LIMIT]]   a square picture, named limit + EXTRA times in the drop (EXTRA: 100);
//                                      LIMIT stands in for the program's limit
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "icon_window/icon_window.h"
#include "menu/main_menu.h"
#include "picture_window/picture_window.h"
#include "picture_windows/picture_windows.h"
#include "support/gdi_objects.h"
#include "win32/message_box.h"
#include "win32/message_pump.h"
#include "win32/program.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Private (committed) bytes; Wine reports them as PagefileUsage only.
double PrivateMegabytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return static_cast<double>(std::max(counters.PrivateUsage, counters.PagefileUsage)) / (1 << 20);
}

// GetGuiResources, or where it answers 0 (Wine) this process's windows and menus, which both systems
// take by the low 16 bits of their handles.
long UserObjects() {
  if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<long>(counted);
  long found = 0;
  for (ULONG_PTR handle = 0x20; handle < 0x10000; handle += 2) {
    DWORD owner = 0;
    const auto hwnd = reinterpret_cast<HWND>(handle);
    if (IsWindow(hwnd) && GetWindowThreadProcessId(hwnd, &owner) && owner == GetCurrentProcessId()) ++found;
    if (IsMenu(reinterpret_cast<HMENU>(handle))) ++found;
  }
  return found;
}

struct Counts {
  long gdi = 0;
  long user = 0;
  double megabytes = 0;
};

Counts Measure() {
  pintaro::PumpMessages();
  return {pintaro::test::GdiObjects(), UserObjects(), PrivateMegabytes()};
}

int WindowsInUse() {
  int inUse = 0;
  for (int slot = 1; slot <= pintaro::PictureWindows().UpperBound(); ++slot)
    inUse += pintaro::PictureWindows()[slot] && !pintaro::PictureWindows()[slot]->isFree;
  return inUse;
}

void PrintPerPicture(const char* when, const Counts& base, const Counts& now, int pictures) {
  std::printf("  %-28s GDI %6ld (%.2f a picture), USER %6ld (%.2f a picture), private %7.1f MB (%.0f KB a picture)\n",
              when, now.gdi, static_cast<double>(now.gdi - base.gdi) / pictures, now.user,
              static_cast<double>(now.user - base.user) / pictures, now.megabytes,
              (now.megabytes - base.megabytes) * 1024 / pictures);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::printf("usage: limit_bench FILE [EXTRA [LIMIT]]\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  int messages = 0;
  pintaro::SetMessageBoxHook([&](HWND, const std::wstring&, const std::wstring&, UINT) { return ++messages, IDOK; });
  std::optional<pintaro::Program> program(std::in_place);
  pintaro::RunFirstInstance(L"");
  if (argc > 3) pintaro::SetPictureWindowLimit(_wtoi(argv[3]));
  const int limit = pintaro::PictureWindowLimit();
  const int names = limit + (argc > 2 ? _wtoi(argv[2]) : 100);

  const Counts base = Measure();
  std::printf("== limit: %d pictures; one drop of %d names\n", limit, names);
  auto start = Clock::now();
  pintaro::OpenPictureFiles(std::vector<std::wstring>(static_cast<std::size_t>(names), argv[1]));
  std::printf("  drop opened %d windows in %.1f s; messages shown: %d\n", WindowsInUse(), SecondsSince(start),
              messages);
  // Each window's tip is made when the pointer first comes over it: all of them, as after a long day.
  for (int slot = 1; slot <= pintaro::PictureWindows().UpperBound(); ++slot)
    SendMessageW(pintaro::PictureWindows()[slot]->hwnd(), WM_MOUSEMOVE, 0, 0);
  const int open = WindowsInUse();
  PrintPerPicture("at 160 pixels, tips made", base, Measure(), open);
  start = Clock::now();
  pintaro::TheMainMenu().ChooseDisplaySize(5);
  std::printf("  size change to 480 pixels in %.1f s\n", SecondsSince(start));
  PrintPerPicture("at 480 pixels", base, Measure(), open);

  start = Clock::now();
  pintaro::ShutDown();
  const double shutDown = SecondsSince(start);
  program.reset();
  std::printf(
      "  orderly end with %d windows open: %.3f s (windows taken down), %.3f s with the program's objects "
      "(bound: 2 s)\n",
      open, shutDown, SecondsSince(start));
  CoUninitialize();
  return 0;
}
