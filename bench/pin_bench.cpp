// Pinning pictures in the real program code under Windows (or Wine): a pin against the system
// decoder's whole decode of the same file, and the memory each pinned window costs.
//   pin_bench FILE...   each FILE is pinned several times; figures go to standard output
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <optional>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/application.h"
#include "win32/message_box.h"
#include "menu/main_menu.h"
#include "picture_window/picture_window.h"
#include "picture_windows/picture_windows.h"
#include "picture_logic/fit.h"
#include "picture_reading/picture_loader.h"
#include "picture_windows/picture_rendering.h"
#include "open_and_wait.h"
#include "system_decoder.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Private (committed) bytes of the process. Wine reports them as PagefileUsage only, which
// Windows keeps equal to PrivateUsage.
SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return std::max(counters.PrivateUsage, counters.PagefileUsage);
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

// A pin of the file (read for the display size, scaled, shown in a window) against the system
// decoder's whole decode of it, and the program's own read of it alone.}

void TimeOpen(const std::wstring& path) {
  constexpr int kRuns = 5;
  std::vector<double> system, read, pin;
  std::optional<pintaro::LoadedPicture> picture;
  for (int i = 0; i < kRuns; ++i) {
    auto start = Clock::now();
    if (!bench::SystemFullDecode(path)) std::printf("%s: the system decoder cannot read it\n", Narrow(path).c_str());
    system.push_back(Milliseconds(start));
    start = Clock::now();
    picture = pintaro::LoadPicture(path, pintaro::ForDisplaySize(pintaro::Settings().DisplaySize()));
    read.push_back(Milliseconds(start));
    if (!picture) {
      std::printf("%s: cannot be read\n", Narrow(path).c_str());
      return;
    }
    start = Clock::now();
    OpenAndWait(path);
    pin.push_back(Milliseconds(start));
    pintaro::PictureWindows()[pintaro::PictureWindows().UpperBound()]->CloseAndFreeSlot();
  }
  std::printf(
      "%-16s %5d x %-5d read as %4d x %-4d  system decoder %6.1f ms   read %6.1f ms   pin %6.1f ms   "
      "pin / system decode %.2f (goal <= 0.25 for a JPEG)\n",
      Narrow(path.substr(path.find_last_of(L"\\/") + 1)).c_str(), picture->size.width, picture->size.height,
      picture->pixels.width(), picture->pixels.height(), Median(system), Median(read), Median(pin),
      Median(pin) / Median(system));
}

void MeasureMemory(const std::wstring& path) {
  constexpr int kWindows = 50;
  // A first window outside the count, so one-time set-up is not charged to the others.
  OpenAndWait(path);
  const SIZE_T before = PrivateBytes();
  for (int i = 0; i < kWindows; ++i) OpenAndWait(path);
  const SIZE_T after = PrivateBytes();
  const SIZE size = pintaro::PictureWindows()[1]->PictureSize();
  const double bitmap = size.cx * size.cy * 4.0;
  const double perWindow = (static_cast<double>(after) - static_cast<double>(before)) / kWindows;
  std::printf(
      "memory: %d windows at %ld x %ld: %.1f KB each; bitmap %.1f KB; "
      "ratio to (2 x bitmap + 64 KB) %.2f (target <= 1)\n",
      kWindows, size.cx, size.cy, perWindow / 1024, bitmap / 1024, perWindow / (2 * bitmap + 65536));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  pintaro::SetMessageBoxHook([](HWND, const std::wstring& text, const std::wstring&, UINT) {
    std::printf("message: %s\n", Narrow(text).c_str());
    return IDOK;
  });
  std::optional<pintaro::Program> program(std::in_place);
  pintaro::RunFirstInstance(L"");
  for (int i = 1; i < argc; ++i) TimeOpen(argv[i]);
  if (argc > 1) {
    // From a fresh start: no window yet.
    pintaro::ShutDown();
    program.emplace();
    pintaro::RunFirstInstance(L"");
    MeasureMemory(argv[1]);
  }
  pintaro::ShutDown();
  program.reset();
  CoUninitialize();
  return 0;
}
