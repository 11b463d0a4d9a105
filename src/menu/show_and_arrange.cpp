#include "menu/show_and_arrange.h"

#include <windows.h>

#include "app/program.h"
#include "icon_window/icon_window.h"
#include "menu/arrangement.h"
#include "menu/main_menu.h"
#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "win32/window_position.h"

namespace pintaro {

namespace {

template <typename Action>
void ForEachWindowInUse(Action action) {
  const PictureWindowTable& table = PictureWindows();
  for (int slot = 1; slot <= table.UpperBound(); ++slot) {
    PictureWindow* window = table[slot];
    if (window && !window->isFree) action(*window);
  }
}

int ToPixels(int twips, double twipsPerPixel) {
  return static_cast<int>(RoundHalfEven(static_cast<double>(twips) / twipsPerPixel));
}

}  // namespace

void ToggleAllWindows(bool show) {
  TheMainMenu().SetShowWindowsItemVisible(!show);
  const int command = show ? SW_SHOWNA : SW_HIDE;
  if (IconWindow* icon = TheIconWindow()) ShowWindow(icon->hwnd(), command);
  ForEachWindowInUse([&](PictureWindow& window) { ShowWindow(window.hwnd(), command); });
}

void ArrangeWindows() {
  const double tpp = TwipsPerPixel();
  RECT icon{};
  if (IconWindow* window = TheIconWindow()) GetWindowRect(window->hwnd(), &icon);
  const ArrangementGrid grid = PlanArrangement(GetSystemMetrics(SM_CXSCREEN) * tpp, GetSystemMetrics(SM_CYSCREEN) * tpp,
                                               tpp, Settings().displaySize, (icon.right - icon.left) * tpp);
  std::int64_t place = 0;
  ForEachWindowInUse([&](PictureWindow& window) {
    const Point at = ArrangedTopLeft(grid, place++);
    MoveToScreenPoint(window.hwnd(), {ToPixels(at.x, tpp), ToPixels(at.y, tpp)});
  });
}

}  // namespace pintaro
