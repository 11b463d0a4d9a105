// A long session of everyday work in the real program code under Windows (or Wine): pictures opened
// and closed with their slots reused, size changes, copies and full-screen views. Prints the GDI and
// USER objects and the private memory of the process before and after, which should come back to
// where they started.
//   soak_bench FILE...   the pictures to cycle through; figures go to standard output
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <optional>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/application.h"
#include "menu/main_menu.h"
#include "picture_windows/full_screen.h"
#include "picture_window/picture_window.h"
#include "picture_windows/picture_windows.h"
#include "win32/message_box.h"
#include "win32/message_pump.h"
#include "open_and_wait.h"
#include "support/gdi_objects.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kOpenAtOnce = 8;  // windows open while pictures come and go

struct Counts {
  long gdi = 0;   // GetGuiResources, or the process's entries in the GDI handle table where it says 0
  long user = 0;  // GetGuiResources, or this process's windows and menus where it says 0
  SIZE_T privateBytes = 0;
};

// Private (committed) bytes. Wine reports them as PagefileUsage only, which Windows keeps equal to
// PrivateUsage.
SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return std::max(counters.PrivateUsage, counters.PagefileUsage);
}

// Both systems take a window or menu handle by its low 16 bits alone.
long WindowsAndMenus() {
  long found = 0;
  for (ULONG_PTR handle = 0x20; handle < 0x10000; handle += 2) {
    DWORD owner = 0;
    const auto hwnd = reinterpret_cast<HWND>(handle);
    if (IsWindow(hwnd) && GetWindowThreadProcessId(hwnd, &owner) && owner == GetCurrentProcessId()) ++found;
    if (IsMenu(reinterpret_cast<HMENU>(handle))) ++found;
  }
  return found;
}

Counts Measure() {
  pintaro::PumpMessages();
  Counts counts;
  counts.gdi = pintaro::test::GdiObjects();
  counts.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
  if (counts.user == 0) counts.user = WindowsAndMenus();
  counts.privateBytes = PrivateBytes();
  return counts;
}

std::vector<pintaro::PictureWindow*> WindowsInUse() {
  std::vector<pintaro::PictureWindow*> windows;
  for (int slot = 1; slot <= pintaro::PictureWindows().UpperBound(); ++slot) {
    pintaro::PictureWindow* window = pintaro::PictureWindows()[slot];
    if (window && !window->isFree) windows.push_back(window);
  }
  return windows;
}

void CloseAll() {
  for (pintaro::PictureWindow* window : WindowsInUse()) window->CloseAndFreeSlot();
}

// Runs the step count times and prints how long it took.
template <typename Step>
void Phase(const char* name, int count, Step step) {
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    step(i);
    pintaro::PumpMessages();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const Counts after = Measure();
  std::printf("  %-30s %4d in %5.1f s (%6.1f ms each); then GDI %ld, USER %ld, private %zu KB\n", name, count, seconds,
              1000 * seconds / count, after.gdi, after.user, after.privateBytes / 1024);
}

// Pictures come and go, eight open at a time; a closed slot in the middle is the next one filled.
void OpenAndClose(const std::vector<std::wstring>& files, int count) {
  Phase("pictures opened and closed", count, [&](int i) {
    OpenAndWait(files[i % files.size()]);
    const auto open = WindowsInUse();
    if (static_cast<int>(open.size()) >= kOpenAtOnce) open[(i * 5) % open.size()]->CloseAndFreeSlot();
  });
}

void Work(const std::vector<std::wstring>& files, int opens, int sizes, int copies, int views) {
  OpenAndClose(files, opens);
  Phase("size changes (all windows)", sizes, [](int i) { pintaro::TheMainMenu().ChooseDisplaySize(i % 8); });
  pintaro::TheMainMenu().ChooseDisplaySize(2);
  Phase("copies (shown and own size)", copies, [](int i) {
    const auto open = WindowsInUse();
    if (i % 2) open[i % open.size()]->CopyAtShownSize();
    if (i % 2 == 0) open[i % open.size()]->CopyAtOriginalSize();
  });
  Phase("full-screen views", views, [](int i) {
    const auto open = WindowsInUse();
    pintaro::ShowFullScreen(*open[i % open.size()]);
    pintaro::CloseFullScreen();
  });
  CloseAll();
}

void PrintChange(const char* what, double before, double after, const char* unit, double margin) {
  std::printf("%-22s start %10.0f %-5s end %10.0f %-5s change %+8.0f  %s (margin %.0f)\n", what, before, unit, after,
              unit, after - before, std::abs(after - before) <= margin ? "back" : "GREW", margin);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::printf("usage: soak_bench FILE...\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  int messages = 0;
  pintaro::SetMessageBoxHook([&](HWND, const std::wstring&, const std::wstring&, UINT) { return ++messages, IDOK; });
  std::optional<pintaro::Program> program(std::in_place);
  pintaro::RunFirstInstance(L"");
  const std::vector<std::wstring> files(argv + 1, argv + argc);

  // One short round first, so what is made once (window classes, menus, tips, the full-screen window,
  // the decoders, the clipboard's copy, the full-screen view of each kind of file) is there before the
  // start figures.
  Work(files, kOpenAtOnce * 2, 8, 20, 8);
  // Each window's tip is made when the pointer first comes over it.
  for (int slot = 1; slot <= pintaro::PictureWindows().UpperBound(); ++slot)
    SendMessageW(pintaro::PictureWindows()[slot]->hwnd(), WM_MOUSEMOVE, 0, 0);
  const Counts start = Measure();
  std::printf("== soak: 500 opens and closes, 100 size changes, 100 copies, 50 full-screen views\n");
  Work(files, 500, 100, 100, 50);
  const Counts end = Measure();

  std::printf("slots in the table: %d (at most %d open at once); messages shown: %d\n",
              pintaro::PictureWindows().UpperBound(), kOpenAtOnce, messages);
  std::printf("objects counted %s\n", GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) > 0
                                          ? "by GetGuiResources"
                                          : "in the GDI handle table and among window and menu handles "
                                            "(GetGuiResources answers 0 here)");
  PrintChange("GDI objects", start.gdi, end.gdi, "", 2);
  PrintChange("USER objects", start.user, end.user, "", 2);
  PrintChange("private memory", start.privateBytes / 1024.0, end.privateBytes / 1024.0, "KB", 1024);
  pintaro::ShutDown();
  program.reset();
  CoUninitialize();
  return 0;
}
