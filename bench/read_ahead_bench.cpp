// Many pictures at once with the files read ahead on worker threads, in the real program code under
// Windows (or Wine): a size change of 20 windows and a drop of 20 photos against the system decoder's
// 20 whole decodes done one after another, and the peak memory of the drop.
//   read_ahead_bench FILE   FILE is a large JPEG; 20 copies of it are made beside it
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <optional>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "icon_window/icon_window.h"
#include "menu/main_menu.h"
#include "picture_window/picture_window.h"
#include "picture_windows/all_windows.h"
#include "picture_reading/picture_loader.h"
#include "picture_windows/picture_windows.h"
#include "picture_reading/read_ahead.h"
#include "win32/message_box.h"
#include "system_decoder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPictures = 20;
constexpr int kRuns = 5;

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Private (committed) bytes; Wine reports them as PagefileUsage only.
double PrivateMegabytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return static_cast<double>(std::max(counters.PrivateUsage, counters.PagefileUsage)) / (1024 * 1024);
}

// The highest private memory seen while it lives, sampled every millisecond on a thread of its own.
class PeakMemory {
 public:
  PeakMemory()
      : sampler_([this] {
          while (!done_) {
            peak_ = std::max(peak_.load(), PrivateMegabytes());
            Sleep(1);
          }
        }) {}
  double Stop() {
    done_ = true;
    sampler_.join();
    return std::max(peak_.load(), PrivateMegabytes());
  }

 private:
  std::atomic<bool> done_{false};
  std::atomic<double> peak_{0};
  std::thread sampler_;
};

// Median, lowest and highest of the runs.
struct Spread {
  double median, low, high;
};

Spread SpreadOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values[values.size() / 2], values.front(), values.back()};
}

void CloseAll() {
  for (int slot = 1; slot <= pintaro::PictureWindows().UpperBound(); ++slot) {
    pintaro::PictureWindow* window = pintaro::PictureWindows()[slot];
    if (window && !window->isFree) window->CloseAndFreeSlot();
  }
}

double TimeDrop(const std::vector<std::wstring>& files) {
  CloseAll();
  const auto start = Clock::now();
  pintaro::TheIconWindow()->OnDrop(files);
  return Milliseconds(start);
}

double TimeSizeChange() {
  static int preset = 2;
  preset = preset == 2 ? 3 : 2;
  const auto start = Clock::now();
  pintaro::SetAllSizes(preset);
  return Milliseconds(start);
}

std::vector<std::wstring> CopiesOf(const std::wstring& path) {
  std::vector<std::wstring> files;
  const std::wstring stem = path.substr(0, path.find_last_of(L'.'));
  for (int i = 0; i < kPictures; ++i) {
    files.push_back(stem + L"-copy" + std::to_wstring(i) + L".jpg");
    CopyFileW(path.c_str(), files.back().c_str(), TRUE);
  }
  return files;
}

void Run(const std::wstring& path) {
  const std::vector<std::wstring> files = CopiesOf(path);
  const auto probe = pintaro::LoadPicture(files[0]);
  if (!probe) {
    std::printf("cannot read the picture\n");
    return;
  }
  const int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  TimeDrop(files);  // the windows exist from here on: the drops below reuse them
  // Each run measures the system decoder's 20 decodes again, so that a ratio compares times taken
  // under the same load of the machine.
  const char* const names[] = {"the system decoder: 20 whole decodes", "drop of 20, to the last window shown",
                               "size change of 20 windows", "size change of 20 windows, 1 worker"};
  const double goals[] = {1, 0, 0.15, 0};
  std::vector<double> times[4], ratios[4];
  for (int run = 0; run < kRuns; ++run) {
    auto start = Clock::now();
    for (const std::wstring& file : files) bench::SystemFullDecode(file);
    const double system = Milliseconds(start);
    const double drop = TimeDrop(files);
    const double size = TimeSizeChange();
    pintaro::SetReadAheadWorkerLimit(1);
    const double sizeOne = TimeSizeChange();
    pintaro::SetReadAheadWorkerLimit(0);
    const double measured[] = {system, drop, size, sizeOne};
    for (int i = 0; i < 4; ++i) {
      times[i].push_back(measured[i]);
      ratios[i].push_back(measured[i] / system);
    }
  }
  std::printf("%d x %d JPEG, %d copies, %d workers; median of %d runs (lowest - highest)\n", probe->size.width,
              probe->size.height, kPictures, workers, kRuns);
  for (int i = 0; i < 4; ++i) {
    const Spread ms = SpreadOf(times[i]);
    const Spread ratio = SpreadOf(ratios[i]);
    std::printf("%-40s %6.0f ms (%5.0f - %5.0f)   ratio to the system decodes %.3f (%.3f - %.3f)", names[i], ms.median,
                ms.low, ms.high, ratio.median, ratio.low, ratio.high);
    if (goals[i] > 0 && goals[i] < 1) std::printf("   goal <= %.2f", goals[i]);
    std::printf("\n");
  }

  std::vector<double> peaks;
  for (int run = 0; run < kRuns; ++run) {
    CloseAll();
    Sleep(200);
    const double steady = PrivateMegabytes();
    PeakMemory peak;
    TimeDrop(files);
    peaks.push_back(peak.Stop() - steady);
  }
  const Spread above = SpreadOf(peaks);
  std::printf("drop of 20: peak private memory above the steady state %.1f MB (%.1f - %.1f); goal <= 16 MB\n",
              above.median, above.low, above.high);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  pintaro::SetMessageBoxHook([](HWND, const std::wstring&, const std::wstring&, UINT) {
    std::printf("unexpected message\n");
    return IDOK;
  });
  std::optional<pintaro::Program> program(std::in_place);
  pintaro::RunFirstInstance(L"");
  Run(argv[1]);
  pintaro::ShutDown();
  program.reset();
  CoUninitialize();
  return 0;
}
