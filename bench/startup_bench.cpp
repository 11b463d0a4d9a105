// How soon a start puts its window on the screen: each program started as a user's double-click starts
// it, timed from CreateProcess until its window is visible, polled every millisecond, against a minimal
// window program (minimal_window.exe, one layered popup and nothing else) started the same way.
//   startup_bench MINIMAL.exe PINTARO.exe SMALL.jpg PHOTO.jpg [RUNS]   figures to standard output
// The starts take turns, so that whatever else the machine does falls on all of them alike; one start
// under Wine swings by a fifth either way, so the medians are of 31 starts unless told otherwise. A busy
// spell of the machine lasts seconds and slows every start of a few rounds: each start is therefore
// also set against the minimal window's start of its own round, and those ratios have a median too.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Start {
  const char* what;
  std::wstring commandLine;
  const wchar_t* windowClass;  // whose window showing counts
  std::vector<double> times;
};

// The process's visible window of the class, asked of the window manager by class: lighter than a walk
// over every window, so that the polling takes little from the program it waits for.
HWND ShownWindow(DWORD process, const wchar_t* windowClass) {
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, windowClass, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, windowClass, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == process && IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

// Milliseconds until the window shows, or a negative number when it did not within 20 s. The program
// is ended afterwards, as from outside, and waited for: the next start must find it gone.
double TimeStart(const Start& start) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring line = start.commandLine;
  const auto begin = Clock::now();
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return -1;
  HWND shown = nullptr;
  while (!(shown = ShownWindow(info.dwProcessId, start.windowClass)) && Clock::now() - begin < std::chrono::seconds(20))
    Sleep(1);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
  // Every window of the program asked to close; the icon window's close ends Pintaro in order.
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == info.dwProcessId) PostMessageW(hwnd, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
    std::printf("%s: did not end in 10 s after its windows were closed\n", start.what);
    TerminateProcess(info.hProcess, 1);
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  // What an ended program leaves to others (the window manager, the taskbar's tray) is done before the
  // next start, which it would otherwise slow down.
  Sleep(300);
  return shown ? ms : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Each round's start against the same round's start of the yardstick.
std::vector<double> RoundRatios(const std::vector<double>& times, const std::vector<double>& yardstick) {
  std::vector<double> ratios;
  for (std::size_t round = 0; round < times.size(); ++round) ratios.push_back(times[round] / yardstick[round]);
  return ratios;
}

std::wstring Quoted(const wchar_t* text) { return L"\"" + std::wstring(text) + L"\""; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: startup_bench MINIMAL.exe PINTARO.exe SMALL.jpg PHOTO.jpg [RUNS]\n");
    return 2;
  }
  const int runs = argc > 5 ? _wtoi(argv[5]) : 31;
  const std::wstring pintaro = Quoted(argv[2]);
  std::vector<Start> starts{
      {"minimal layered window", Quoted(argv[1]), L"MinimalWindow", {}},
      {"  and its second window (for reference)", Quoted(argv[1]) + L" 2", L"MinimalSecondWindow", {}},
      {"Pintaro's icon window, no picture", pintaro, L"PintaroIcon", {}},
      {"a small JPEG pinned", pintaro + L" " + Quoted(argv[3]), L"PintaroPicture", {}},
      {"a 12 MP photo pinned", pintaro + L" " + Quoted(argv[4]), L"PintaroPicture", {}},
  };
  // One start of each first, not counted: the first start of a program reads its file from the disk.
  for (Start& start : starts) TimeStart(start);
  for (int run = 0; run < runs; ++run) {
    for (Start& start : starts) {
      const double ms = TimeStart(start);
      if (ms < 0) {
        std::printf("%s: no window in 20 s\n", start.what);
        return 1;
      }
      start.times.push_back(ms);
    }
  }
  std::printf(
      "from CreateProcess to the window on the screen, medians of %d starts; against the minimal window:\n"
      "the ratio of the medians, and the median of each round's ratio\n",
      runs);
  const double yardstick = Median(starts[0].times);
  const double goals[] = {0, 0, 1.1, 1.2, 1.4};
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const double median = Median(starts[i].times);
    std::printf("  %-40s %7.1f ms  %5.2f  %5.2f", starts[i].what, median, median / yardstick,
                Median(RoundRatios(starts[i].times, starts[0].times)));
    if (goals[i] > 0) std::printf("  (goal at most %.1f)", goals[i]);
    std::printf("\n");
  }
  return 0;
}
