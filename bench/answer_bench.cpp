// How long the user-interface thread leaves a posted message unanswered while the real program code
// opens, resizes and shows full-screen the largest picture it accepts (2^28 pixels on 64-bit builds),
// and copies pictures at their own size: the largest copied (8192 x 8192), one row more (8192 x 8193)
// and the largest held (16384 x 16384), both too large to copy; under Windows (or Wine).
//   answer_bench FOLDER   the pictures, bitmaps of 1 bit per pixel (32 MB the largest), are made there
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "picture_window/picture_window.h"
#include "picture_windows/all_windows.h"
#include "picture_windows/full_screen.h"
#include "picture_windows/picture_windows.h"
#include "open_and_wait.h"
#include "win32/message_box.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSide = 16384;
constexpr int kRuns = 3;

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

// A 1-bit bitmap of width x height pixels (the width a multiple of 32), black and white stripes, written unless it
// is there.
bool MakePicture(const std::wstring& path, std::uint32_t width = kSide, std::uint32_t height = kSide) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const std::uint32_t kRow = width / 8, kPixels = kRow * height, kOffset = 14 + 40 + 8;
  std::vector<std::uint8_t> bytes(kOffset);
  const auto put = [&](std::size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  bytes[0] = 'B', bytes[1] = 'M';
  put(2, kOffset + kPixels, 4), put(10, kOffset, 4), put(14, 40, 4), put(18, width, 4), put(22, height, 4);
  put(26, 1, 2), put(28, 1, 2), put(34, kPixels, 4), put(46, 2, 4), put(58, 0xFFFFFF, 4);
  bytes.resize(kOffset + kPixels, 0x0F);
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return ok;
}

// Another thread posts this thread a message every 5 ms and keeps the longest wait for its answer.
class AnswerWatch {
 public:
  AnswerWatch() {
    window_ = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(answered_));
    SetWindowLongPtrW(window_, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
                        if (message != WM_APP) return DefWindowProcW(hwnd, message, wParam, lParam);
                        SetEvent(reinterpret_cast<HANDLE>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
                        return LRESULT{0};
                      }));
  }
  ~AnswerWatch() {
    DestroyWindow(window_);
    CloseHandle(answered_);
  }

  // The longest wait for an answer while the operation runs.
  template <typename Operation>
  double Longest(Operation operation) {
    std::atomic<bool> done{false};
    std::atomic<Clock::duration> longest{};
    std::thread asker([&] {
      while (!done) {
        const auto asked = Clock::now();
        PostMessageW(window_, WM_APP, 0, 0);
        while (WaitForSingleObject(answered_, 5) == WAIT_TIMEOUT && !done) {
        }
        longest = std::max(longest.load(), Clock::now() - asked);
        Sleep(5);
      }
    });
    operation();
    done = true;
    asker.join();
    return Milliseconds(longest.load());
  }

 private:
  HWND window_ = nullptr;
  HANDLE answered_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
};

void Run(const std::wstring& path) {
  AnswerWatch watch;
  const char* const names[] = {"opening", "size change", "full-screen view"};
  std::vector<double> stretches[3], times[3];
  for (int run = 0; run < kRuns; ++run) {
    pintaro::SetAllSizes(2);
    pintaro::PictureWindow* window = nullptr;
    const auto timed = [&](int which, auto operation) {
      const auto start = Clock::now();
      stretches[which].push_back(watch.Longest(operation));
      times[which].push_back(Milliseconds(Clock::now() - start));
    };
    timed(0, [&] {
      OpenAndWait(path);
      window = pintaro::PictureWindows()[pintaro::PictureWindows().UpperBound()];
    });
    timed(1, [] { pintaro::SetAllSizes(3); });
    timed(2, [&] { pintaro::ShowFullScreen(*window); });
    pintaro::CloseFullScreen();
    window->CloseAndFreeSlot();
  }
  std::printf("%d x %d bitmap, 1 bit per pixel; medians of %d runs\n", kSide, kSide, kRuns);
  for (int i = 0; i < 3; ++i) {
    std::sort(stretches[i].begin(), stretches[i].end());
    std::sort(times[i].begin(), times[i].end());
    std::printf("%-18s longest unanswered %7.1f ms (%.1f - %.1f)   whole operation %7.1f ms\n", names[i],
                stretches[i][kRuns / 2], stretches[i].front(), stretches[i].back(), times[i][kRuns / 2]);
  }
}

int g_messages = 0;

// The copy at the picture's own size, for each size of picture.
void RunCopies(const std::wstring& folder) {
  AnswerWatch watch;
  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{8192, 8192}, {8192, 8193}, {kSide, kSide}};
  std::printf("copy at the picture's own size, 1 bit per pixel; medians of %d runs\n", kRuns);
  for (const auto& [width, height] : sizes) {
    const std::wstring path = folder + L"\\copy" + std::to_wstring(width) + L"x" + std::to_wstring(height) + L".bmp";
    if (!MakePicture(path, width, height)) return;
    OpenAndWait(path);
    pintaro::PictureWindow* window = pintaro::PictureWindows()[pintaro::PictureWindows().UpperBound()];
    std::vector<double> stretches, times;
    g_messages = 0;
    for (int run = 0; run < kRuns; ++run) {
      const auto start = Clock::now();
      stretches.push_back(watch.Longest([&] { window->CopyAtOriginalSize(); }));
      times.push_back(Milliseconds(Clock::now() - start));
    }
    window->CloseAndFreeSlot();
    std::sort(stretches.begin(), stretches.end());
    std::sort(times.begin(), times.end());
    std::printf("%5u x %-5u      longest unanswered %7.1f ms (%.1f - %.1f)   whole copy %7.1f ms   messages %d\n",
                width, height, stretches[kRuns / 2], stretches.front(), stretches.back(), times[kRuns / 2], g_messages);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring path = std::wstring(argv[1]) + L"\\largest.bmp";
  if (!MakePicture(path)) {
    std::printf("cannot write %ls\n", path.c_str());
    return 1;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  pintaro::SetMessageBoxHook([](HWND, const std::wstring&, const std::wstring&, UINT) {
    ++g_messages;
    return IDOK;
  });
  std::optional<pintaro::Program> program(std::in_place);
  pintaro::RunFirstInstance(L"");
  Run(path);
  if (g_messages > 0) std::printf("unexpected messages: %d\n", g_messages);
  RunCopies(argv[1]);
  pintaro::ShutDown();
  program.reset();
  CoUninitialize();
  return 0;
}
