#include "picture_windows/all_windows.h"

#include <windows.h>

#include <string>
#include <vector>

#include "win32/program.h"
#include "picture_window/picture_window.h"
#include "win32/layered.h"
#include "picture_windows/picture_rendering.h"
#include "picture_windows/picture_windows.h"
#include "picture_logic/presets.h"
#include "picture_reading/read_ahead.h"
#include "win32/window_position.h"

namespace pintaro {

namespace {

class Running {
 public:
  explicit Running(ChangeUnderWay& change) noexcept : change_(change) { change_.running = true; }
  ~Running() { change_ = {}; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  ChangeUnderWay& change_;
};

// Goes over the windows, and again for as long as another change was chosen meanwhile. False when
// the change is left to the one under way, which picks its settings up, or the program has ended.
template <typename Pass>
bool RunLatest(ChangeUnderWay& change, Pass pass) {
  if (change.running) {
    change.again = true;
    return false;
  }
  const Running running(change);
  do {
    change.again = false;
    pass();
    if (ProgramEnded()) return false;
  } while (change.again);
  return true;
}

PixelRect ScreenRectOf(HWND hwnd) noexcept {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Renders the window at the display size and shows it with its centre where it was.
void ResizeKeepingCentre(PictureWindow& window, const PictureSource& source) {
  const PixelRect before = ScreenRectOf(window.hwnd());
  const auto keepCentre = [before](SIZE size) {
    const Point at = KeepCentre(before, {size.cx, size.cy}, TwipsPerPixel());
    return POINT{at.x, at.y};
  };
  // A file that gives no picture leaves it hidden, one that cannot be read now as it was; closed or reused
  // meanwhile, it is no longer this change's.
  ResizePictureWindow(window, keepCentre, std::nullopt, source);
}

// One pass of a size change over the windows in use, their files read ahead.
void RenderAllAtDisplaySize() {
  const PictureWindowTable& table = PictureWindows();
  std::vector<int> slots;
  std::vector<std::wstring> paths;
  for (int slot = 1; slot <= table.UpperBound(); ++slot) {
    if (table[slot] && !table[slot]->isFree) {
      slots.push_back(slot);
      paths.push_back(table[slot]->picturePath);
    }
  }
  ReadAhead ahead(std::move(paths), Settings().DisplaySize(), ReadFor::Rendering);
  // The table may grow while a rendering lets messages run; windows added then are already rendered
  // at the new size. A window closed or given another file meanwhile finds no picture read for it.
  std::size_t next = 0;
  for (int slot = 1; slot <= table.UpperBound(); ++slot) {
    PictureWindow* window = table[slot];
    while (next < slots.size() && slots[next] < slot) ++next;
    const bool planned = next < slots.size() && slots[next] == slot;
    if (window && !window->isFree) ResizeKeepingCentre(*window, planned ? ahead.SourceFor(next) : PictureSource{});
    if (ProgramEnded()) return;
  }
}

}  // namespace

void SetAllSizes(int preset) {
  Settings().sizePreset = preset;
  if (!RunLatest(PictureWindowsState::Of().sizeChange, RenderAllAtDisplaySize)) return;
  // A hidden icon window cannot take the focus; the size change is complete without it.
  if (MainWindow* main = TheMainWindow()) main->TakeFocusIfShown();
}

// Nothing to read or scale: every window changes at once, with no message running in between.
void SetAllAlpha(int preset) {
  Settings().opacityPreset = preset;
  PictureWindows().ForEachInUse([](PictureWindow& window) {
    SetAlpha(window.hwnd(), Settings().Opacity());
    window.CheckOpacityItem(Settings().opacityPreset);
  });
}

}  // namespace pintaro
