// What playing animated GIFs costs the user-interface thread: ten pins of a GIF of 10 frames a second
// playing for five seconds, as the thread's CPU time per frame shown, beside one still pin's repaint.
//   animation_bench ANIMATED.gif STILL   (under Windows or Wine)
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "open_and_wait.h"
#include "picture_window/picture_window.h"
#include "picture_windows/picture_windows.h"
#include "win32/message_box.h"

namespace {

using Clock = std::chrono::steady_clock;

double ThreadCpuMs() {
  FILETIME unused[2], kernel, user;
  GetThreadTimes(GetCurrentThread(), &unused[0], &unused[1], &kernel, &user);
  const auto ticks = [](FILETIME t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// Runs the messages for the time given; the frames the windows showed meanwhile.
long PlayFor(std::chrono::milliseconds time, const std::vector<pintaro::PictureWindow*>& windows) {
  std::vector<std::size_t> last;
  for (const auto* window : windows) last.push_back(window->animationFrame);
  long shown = 0;
  for (const auto end = Clock::now() + time; Clock::now() < end;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::max<long long>(left, 0)), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    for (std::size_t i = 0; i < windows.size(); ++i)
      if (windows[i]->animationFrame != last[i]) ++shown, last[i] = windows[i]->animationFrame;
  }
  return shown;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  pintaro::SetMessageBoxHook([](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
  std::optional<pintaro::Program> program(std::in_place);
  pintaro::RunFirstInstance(L"");
  std::vector<pintaro::PictureWindow*> pins;
  for (int i = 0; i < 10; ++i) {
    OpenAndWait(argv[1]);
    pins.push_back(pintaro::PictureWindows()[pintaro::PictureWindows().UpperBound()]);
  }
  if (!pins.front()->animation) {
    std::printf("the GIF does not play\n");
    return 1;
  }
  PlayFor(std::chrono::milliseconds(500), pins);  // settled
  const double before = ThreadCpuMs();
  const long frames = PlayFor(std::chrono::seconds(5), pins);
  const double animated = (ThreadCpuMs() - before) / static_cast<double>(frames);
  for (auto* pin : pins) pin->CloseAndFreeSlot();

  OpenAndWait(argv[2]);
  pintaro::PictureWindow* still = pintaro::PictureWindows()[pintaro::PictureWindows().UpperBound()];
  constexpr int kRepaints = 5000;  // the thread times under Wine tick in milliseconds
  const double start = ThreadCpuMs();
  for (int i = 0; i < kRepaints; ++i) {
    InvalidateRect(still->hwnd(), nullptr, FALSE);
    UpdateWindow(still->hwnd());
  }
  const double repaint = (ThreadCpuMs() - start) / kRepaints;
  std::printf("10 pins at 10 frames a second, 5 s: %ld frames shown (%.1f a second)\n", frames, frames / 5.0);
  std::printf("CPU per frame shown %.3f ms; a still pin's repaint %.3f ms; ratio %.2f\n", animated, repaint,
              animated / repaint);
  pintaro::ShutDown();
  program.reset();
  CoUninitialize();
  return 0;
}
