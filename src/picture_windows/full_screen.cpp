#include "picture_windows/full_screen.h"

#include <memory>
#include <optional>
#include <string>

#include "win32/program.h"
#include "win32/busy_cursor.h"
#include "win32/message_pump.h"
#include "picture_window/picture_window.h"
#include "picture_window/full_screen_view.h"
#include "picture_windows/picture_windows.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_windows/picture_rendering.h"
#include "picture_windows/show_and_arrange.h"

namespace pintaro {

namespace {

FullScreenView& View() {
  std::unique_ptr<FullScreenView>& view = PictureWindowsState::Of().fullScreenView;
  if (!view) view = std::make_unique<FullScreenView>(&CloseFullScreen);
  return *view;
}

// The top-left corner, in pixels, where the picture fitted to the screen is centred.
POINT CentredOnScreen(Size picture, const ScreenTwips& screen) {
  const FullScreenFit fit = FitToScreen(picture, screen);
  return {static_cast<LONG>(RoundHalfEven(fit.leftTwips / static_cast<double>(screen.twipsPerPixelX))),
          static_cast<LONG>(RoundHalfEven(fit.topTwips / static_cast<double>(screen.twipsPerPixelY)))};
}

}  // namespace

ScreenTwips PrimaryScreenTwips() noexcept {
  const auto perPixel = static_cast<float>(TwipsPerPixel());
  return {static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * perPixel,
          static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * perPixel, perPixel, perPixel};
}

void ShowFullScreen(PictureWindow& window) {
  const std::wstring path = window.picturePath;
  const ScreenTwips screen = PrimaryScreenTwips();
  const TargetSizeFor toScreen = [screen](Size size) { return FitToScreen(size, screen).size; };
  // Its pixels come at the screen-fitted size, scaled by the worker that read them.
  std::optional<LoadedPicture> picture = ReadPictureOrReport(path, toScreen);
  if (!picture) return;
  BusyCursor busy;
  PumpMessages();
  // The program may have ended in there (a log-off): then there is nothing left to show.
  if (ProgramEnded()) return;

  FullScreenView& view = View();
  view.SetPicture(CreateBitmapFromImage(picture->pixels), CentredOnScreen(picture->size, screen));
  picture.reset();
  ToggleAllWindows(false);
  view.ShowCovering();
  PumpMessages();
}

void CloseFullScreen() {
  FullScreenView* view = TheFullScreenView();
  if (!view || !view->IsShown()) return;
  ShowWindow(view->hwnd(), SW_HIDE);
  view->ReleasePicture();
  ToggleAllWindows(true);
}

FullScreenView* TheFullScreenView() noexcept {
  FullScreenView* view = PictureWindowsState::Of().fullScreenView.get();
  return view && view->exists() ? view : nullptr;
}

void DestroyFullScreen() noexcept {
  if (FullScreenView* view = TheFullScreenView()) DestroyWindow(view->hwnd());
}

}  // namespace pintaro
