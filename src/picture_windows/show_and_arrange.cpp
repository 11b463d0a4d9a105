#include "picture_windows/show_and_arrange.h"

#include <windows.h>

#include "win32/program.h"
#include "picture_logic/arrangement.h"
#include "picture_window/picture_window.h"
#include "picture_windows/picture_windows.h"
#include "win32/window_position.h"

namespace pintaro {

namespace {

int ToPixels(int twips, double twipsPerPixel) {
  return static_cast<int>(RoundHalfEven(static_cast<double>(twips) / twipsPerPixel));
}

}  // namespace

void ToggleAllWindows(bool show) {
  const int command = show ? SW_SHOWNA : SW_HIDE;
  if (MainWindow* main = TheMainWindow()) main->SetShown(show);
  PictureWindows().ForEachInUse([&](PictureWindow& window) { ShowWindow(window.hwnd(), command); });
}

void ArrangeWindows() {
  const double tpp = TwipsPerPixel();
  const MainWindow* main = TheMainWindow();
  const int iconWidth = main ? main->Width() : 0;
  const ArrangementGrid grid = PlanArrangement(GetSystemMetrics(SM_CXSCREEN) * tpp, GetSystemMetrics(SM_CYSCREEN) * tpp,
                                               tpp, Settings().DisplaySize(), iconWidth * tpp);
  std::int64_t place = 0;
  PictureWindows().ForEachInUse([&](PictureWindow& window) {
    const Point at = ArrangedTopLeft(grid, place++);
    window.MoveHome({ToPixels(at.x, tpp), ToPixels(at.y, tpp)});
  });
}

}  // namespace pintaro
