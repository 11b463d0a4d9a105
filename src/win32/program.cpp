#include "win32/program.h"

#include <utility>

#include "win32/dpi.h"

namespace pintaro {

namespace {
Program* g_running = nullptr;  // the one object of the running program, from its making to its end
}  // namespace

namespace program_detail {
void Enter(Program* program) noexcept { g_running = program; }
void Leave(Program* program) noexcept {
  if (g_running == program) g_running = nullptr;
}
}  // namespace program_detail

Program& TheProgram() noexcept { return *g_running; }
Program* TryTheProgram() noexcept { return g_running; }

void ShutDown() {
  if (const auto shutDown = TheProgram().shutDown) shutDown();
}

MainWindow* TheMainWindow() noexcept { return TheProgram().mainWindow.get(); }

HWND MainWindowHandle() noexcept {
  const MainWindow* window = TheMainWindow();
  return window ? window->Handle() : nullptr;
}

void StartEndTimer() noexcept {
  AnnounceEnding();
  if (MainWindow* window = TheMainWindow()) window->EndSoon();
}

void AnnounceEnding() noexcept {
  Program& program = TheProgram();
  if (std::exchange(program.ending, true)) return;
  program.endingSignal.reset(CreateEventW(nullptr, TRUE, TRUE, kEndingEventName));
}

bool AnotherInstanceEnding() noexcept {
  return static_cast<bool>(UniqueKernelHandle(OpenEventW(SYNCHRONIZE, FALSE, kEndingEventName)));
}

// The system's dots per inch stay what they were when the program started (Windows changes them at
// the next sign-in).
double TwipsPerPixel() noexcept {
  static const double twips = 1440.0 / DpiOf(nullptr);
  return twips;
}

}  // namespace pintaro
