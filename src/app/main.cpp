// Process entry of pintaro.exe.
#include <windows.h>

#include "app/application.h"
#include "win32/program.h"
#include "win32/message_pump.h"
#include "win32/window_base.h"

namespace {

int RunMessageLoop() {
  MSG msg{};
  for (int failures = 0; failures < pintaro::kFailedRetrievalsInARow;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);  // WM_QUIT, and nothing else, ends the loop
    if (got < 0) {
      ++failures;
      continue;
    }
    failures = 0;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    // A modal loop (a window drag, a menu) that was running when the last window went may have
    // swallowed the quit request; the count of windows still tells.
    if (pintaro::LiveWindowCount() == 0) return 0;
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // OLE comes with the drop target, the common controls with the first tip: neither is waited for.

  // The process lives as long as a window of it exists.
  pintaro::QuitWhenLastWindowCloses(true);
  pintaro::OnQuitRequest(&pintaro::EndOnQuitRequest);
  int exitCode = 0;
  try {
    // The running program's state, from here to its end in order: ShutDown's, then the object's.
    pintaro::Program program;
    try {
      pintaro::Main();
      exitCode = pintaro::LiveWindowCount() > 0 ? RunMessageLoop() : 0;
    } catch (...) {
      // Nothing may unwind into Windows; the program still ends in order below.
    }
    pintaro::EndOnQuitRequest();
  } catch (...) {
    // No memory for the program's state at the start: nothing ran.
  }
  return exitCode;
}
