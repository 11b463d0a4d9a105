#include "win32/message_pump.h"

#include <utility>

#include "win32/window_base.h"

namespace pintaro {

namespace {
int g_liveWindows = 0;
bool g_quitWhenLastCloses = false;
void (*g_quitHandler)() noexcept = nullptr;
}  // namespace

namespace window_detail {
void NoteWindowCreated() noexcept { ++g_liveWindows; }
void NoteWindowDestroyed() noexcept {
  if (--g_liveWindows == 0 && g_quitWhenLastCloses) PostQuitMessage(0);
}
}  // namespace window_detail

bool QuitWhenLastWindowCloses(bool enabled) noexcept { return std::exchange(g_quitWhenLastCloses, enabled); }
int LiveWindowCount() noexcept { return g_liveWindows; }

void OnQuitRequest(void (*handler)() noexcept) noexcept { g_quitHandler = handler; }

void PutBackQuit(int exitCode) noexcept {
  PostQuitMessage(exitCode);
  if (g_quitHandler) g_quitHandler();
}

}  // namespace pintaro
