#include "picture_windows/full_screen.h"

#include <memory>
#include <optional>
#include <string>

#include "win32/program.h"
#include "win32/busy_cursor.h"
#include "win32/worker.h"
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

namespace {

struct ScreenRead {
  std::optional<LoadedPicture> picture;
  ReadFailure failure = ReadFailure::Unreachable;
};

// The view asked for last, once its picture is read: shown unless its window was closed or given
// another picture meanwhile.
void ShowRead(PictureWindow& window, unsigned occupancy, unsigned asked, ScreenRead& read, const ScreenTwips& screen) {
  PictureWindowsState& state = PictureWindowsState::Of();
  if (asked != state.fullScreenAsked) return;
  state.fullScreenBusy.reset();
  if (!window.exists() || window.isFree || window.occupancy != occupancy) return;
  if (!read.picture) {
    TellWhyShownPictureIsNotRead(window.picturePath, read.failure);
    return;
  }
  FullScreenView& view = View();
  view.SetPicture(CreateBitmapFromImage(read.picture->pixels), CentredOnScreen(read.picture->size, screen));
  read.picture.reset();
  ToggleAllWindows(false);
  view.ShowCovering();
}

}  // namespace

// Its pixels come at the screen-fitted size, scaled by the worker that reads them.
void ShowFullScreen(PictureWindow& window) {
  PictureWindowsState& state = PictureWindowsState::Of();
  const unsigned asked = ++state.fullScreenAsked, occupancy = window.occupancy;
  const ScreenTwips screen = PrimaryScreenTwips();
  const auto read = std::make_shared<ScreenRead>();
  const auto load = [read, path = window.picturePath, screen, frame = window.animationFrame] {
    const TargetSizeFor toScreen = [screen](Size size) { return FitToScreen(size, screen).size; };
    read->picture = LoadPicture(path, toScreen, nullptr, &read->failure, PixelsAs::Targeted, frame);
  };
  const auto show = [&window, occupancy, asked, read, screen] { ShowRead(window, occupancy, asked, *read, screen); };
  state.fullScreenBusy.emplace();
  if (!StartOnWorkerThenAnswer(load, show)) show();  // no worker for it: the file cannot be read now
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
  PictureWindowsState::Of().fullScreenBusy.reset();  // a view asked for is never shown now
  if (FullScreenView* view = TheFullScreenView()) DestroyWindow(view->hwnd());
}

}  // namespace pintaro
