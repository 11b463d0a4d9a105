#include "picture_windows/all_windows.h"

#include <windows.h>

#include <memory>
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
#include "win32/worker.h"

namespace pintaro {

namespace {

PixelRect ScreenRectOf(HWND hwnd) noexcept {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

SizeChange& TheSizeChange() { return PictureWindowsState::Of().sizeChange; }

// The window planned, while it still holds the picture it held then.
PictureWindow* StillPlanned(const SizeChange::Planned& planned) {
  PictureWindow* window = PictureWindows()[planned.slot];
  return window && window->exists() && !window->isFree && window->occupancy == planned.occupancy ? window : nullptr;
}

void ContinueSizeChange();

// The answer of the worker that read a planned window's file: the window shows it with its centre
// where it was. One closed or given another picture meanwhile is no longer this change's.
void OnRendered(unsigned plan, std::size_t index, const std::shared_ptr<PictureReadResult>& read) {
  SizeChange& change = TheSizeChange();
  if (plan != change.plan) return;  // a later choice planned every window again
  change.reading = false;
  change.busy.reset();
  if (PictureWindow* window = StillPlanned(change.windows[index])) {
    const PixelRect before = ScreenRectOf(window->hwnd());
    const auto keepCentre = [before](SIZE size) {
      const Point at = KeepCentre(before, {size.cx, size.cy}, TwipsPerPixel());
      return POINT{at.x, at.y};
    };
    change.telling = true;  // the message about a file that gave no picture lets messages run
    ResizePictureWindow(*window, keepCentre, std::move(read->picture), read->failure);
    change.telling = false;
  }
  ContinueSizeChange();
}

// Starts the worker that reads the next planned window's file, or ends the change when none is left.
void ContinueSizeChange() {
  SizeChange& change = TheSizeChange();
  if (change.reading || change.telling || !change.underWay || ProgramEnded()) return;
  while (change.next < change.windows.size()) {
    const std::size_t index = change.next++;
    const PictureWindow* window = StillPlanned(change.windows[index]);
    if (!window) continue;
    const auto result = std::make_shared<PictureReadResult>();
    const auto work = [result, read = change.ahead->ReaderFor(index), path = window->picturePath,
                       displaySize = Settings().DisplaySize()] {
      result->picture = read(path, displaySize, result->failure);
    };
    if (StartOnWorkerThenAnswer(work, [plan = change.plan, index, result] { OnRendered(plan, index, result); })) {
      change.reading = true;
      if (!change.busy) change.busy.emplace();
      return;
    }
  }
  change.ahead.reset();
  change.underWay = false;
  change.busy.reset();
  // A hidden icon window cannot take the focus; the size change is complete without it.
  if (MainWindow* main = TheMainWindow()) main->TakeFocusIfShown();
}

}  // namespace

// Every window in use is planned, and its file read ahead; a change under way gives way to this one.
// Windows opened from now on show at the new size by themselves.
void SetAllSizes(int preset) {
  Settings().sizePreset = preset;
  SizeChange& change = TheSizeChange();
  change.ahead.reset();
  change.windows.clear();
  std::vector<std::wstring> paths;
  for (int slot = 1; slot <= PictureWindows().UpperBound(); ++slot) {
    if (const PictureWindow* window = PictureWindows()[slot]; window && !window->isFree) {
      change.windows.push_back({slot, window->occupancy});
      paths.push_back(window->picturePath);
    }
  }
  change.ahead = std::make_unique<ReadAhead>(std::move(paths), Settings().DisplaySize(), ReadFor::Rendering);
  change.next = 0;
  change.reading = false;
  ++change.plan;
  change.underWay = true;
  ContinueSizeChange();
}

bool SizeChangeUnderWay() noexcept {
  const PictureWindowsState* state = PictureWindowsState::Running();
  return state && !ProgramEnded() && state->sizeChange.underWay;
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
