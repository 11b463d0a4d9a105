#include "pictures/all_windows.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "icon_window/icon_window.h"
#include "picture_window/picture_window.h"
#include "pictures/layered.h"
#include "pictures/picture_rendering.h"
#include "pictures/picture_windows.h"
#include "pictures/presets.h"
#include "pictures/read_ahead.h"
#include "win32/message_pump.h"

namespace pintaro {

namespace {

PixelRect ScreenRectOf(HWND hwnd) noexcept {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

template <typename Preset>
bool InTable(int preset, const Preset& table) noexcept {
  return preset >= 0 && preset < static_cast<int>(table.size());
}

// Renders the window at the display size and moves it so that its centre stays where it was.
void ResizeKeepingCentre(PictureWindow& window, const PictureSource& source) {
  const PixelRect before = ScreenRectOf(window.hwnd());
  if (!ResizePictureWindow(window, std::nullopt, source)) return;  // unreadable now: stays hidden
  const PixelRect after = ScreenRectOf(window.hwnd());
  const Point at = KeepCentre(before, {after.width, after.height}, TwipsPerPixel());
  SetWindowPos(window.hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void SetAllSizes(int preset) {
  Settings().sizePreset = preset;
  if (InTable(preset, kSizePresets)) Settings().displaySize = kSizePresets[preset];
  const PictureWindowTable& table = PictureWindows();
  std::vector<int> slots;
  std::vector<std::wstring> paths;
  for (int slot = 1; slot <= table.UpperBound(); ++slot) {
    if (table[slot] && !table[slot]->isFree) {
      slots.push_back(slot);
      paths.push_back(table[slot]->picturePath);
    }
  }
  ReadAhead ahead(std::move(paths));
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
  // A hidden icon window cannot take the focus; the size change is complete without it.
  const HWND icon = TheIconWindow()->hwnd();
  if (IsWindowVisible(icon)) SetFocus(icon);
}

void SetAllAlpha(int preset) {
  Settings().opacityPreset = preset;
  if (InTable(preset, kOpacityPresets)) Settings().opacity = kOpacityPresets[preset];
  const PictureWindowTable& table = PictureWindows();
  for (int slot = 1; slot <= table.UpperBound(); ++slot) {
    PictureWindow* window = table[slot];
    if (!window || window->isFree) continue;
    SetAlpha(window->hwnd(), Settings().opacity);
    window->CheckOpacityItem(preset);
    PumpMessages();
    if (ProgramEnded()) return;
  }
}

}  // namespace pintaro
