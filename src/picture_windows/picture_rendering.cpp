#include "picture_windows/picture_rendering.h"

#include <windows.h>

#include <new>

#include "win32/program.h"
#include "win32/busy_cursor.h"
#include "win32/message_box.h"
#include "win32/message_pump.h"
#include "win32/window_position.h"
#include "picture_window/picture_window.h"
#include "picture_windows/picture_windows.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_logic/fit.h"
#include "picture_logic/halftone_stretch.h"
#include "picture_reading/picture_loader.h"

namespace pintaro {

namespace {

std::optional<LoadedPicture> ReadPicture(const std::wstring& path, const PictureSource& source) {
  const int displaySize = Settings().displaySize;
  return source ? source(path, displaySize) : LoadPictureOnWorker(path, ForDisplaySize(displaySize));
}

template <typename Read>
std::optional<LoadedPicture> ReadOrReport(const std::wstring& path, Read read) {
  std::optional<LoadedPicture> picture;
  {
    BusyCursor busy;
    picture = read();
  }
  // A source may let messages run while it waits: the program may have ended there.
  if (!picture && !ProgramEnded()) ShowUnsupportedFormat(path);
  return picture;
}

}  // namespace

std::optional<LoadedPicture> ReadPictureOrReport(const std::wstring& path, const PictureSource& source) {
  return ReadOrReport(path, [&] { return ReadPicture(path, source); });
}

std::optional<LoadedPicture> ReadPictureOrReport(const std::wstring& path, const TargetSizeFor& target) {
  return ReadOrReport(path, [&] { return LoadPictureOnWorker(path, target, nullptr, kCommandReadDeadline); });
}

std::optional<Image32> ScalePicture(const Image32& source, int width, int height) {
  auto scaled = Image32::Allocate(width, height);
  if (!scaled) return std::nullopt;
  try {
    HalftoneStretch(scaled->view(), 0, 0, width, height, source.view(), 0, 0, source.width(), source.height());
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // no memory for its row buffers
  }
  return scaled;
}

namespace {

// What a rendering needs of its window, taken when it starts.
class RenderingOf {
 public:
  explicit RenderingOf(PictureWindow& window)
      : window_(window), occupancy_(window.occupancy), path_(window.picturePath) {}
  PictureWindow& window() const noexcept { return window_; }
  const std::wstring& path() const noexcept { return path_; }
  // False once the window was closed or freed, holds another picture, or the program has ended.
  bool StillWanted() const noexcept {
    return !ProgramEnded() && window_.exists() && !window_.isFree && window_.occupancy == occupancy_;
  }

 private:
  PictureWindow& window_;
  const unsigned occupancy_;
  const std::wstring path_;
};

struct Scaled {
  Rendering outcome = Rendering::GaveUp;
  std::optional<Image32> picture;  // at the display size, when Shown
};

// Everything up to the window's new picture.
Scaled RenderAtDisplaySize(const RenderingOf& rendering, std::optional<LoadedPicture> alreadyRead,
                           const PictureSource& read) {
  ShowWindow(rendering.window().hwnd(), SW_HIDE);
  std::optional<LoadedPicture> source = alreadyRead ? std::move(alreadyRead) : ReadPicture(rendering.path(), read);
  if (!rendering.StillWanted()) return {};  // a source may let messages run while it waits
  if (!source) return {Rendering::Unreadable, std::nullopt};
  PumpMessages();
  if (!rendering.StillWanted()) return {};
  const Size fit = FitToDisplay(source->size, Settings().displaySize);
  std::optional<Image32> scaled = ScalePicture(source->pixels, fit.width, fit.height);
  source.reset();  // the full-size picture is not kept a moment longer than needed
  PumpMessages();
  if (!rendering.StillWanted()) return {};
  return {scaled ? Rendering::Shown : Rendering::Unreadable, std::move(scaled)};
}

// The window takes its picture and shows with it, where placeFor puts it.
Rendering ShowAtDisplaySize(const RenderingOf& rendering, std::optional<Image32> picture, const PlaceFor& placeFor) {
  const HWND hwnd = rendering.window().hwnd();
  rendering.window().SetPicture(CreateBitmapFromImage(*picture));
  const SIZE size{picture->width(), picture->height()};
  picture.reset();
  PlaceAtScreenPoint(hwnd, placeFor(size), size);
  ShowWindow(hwnd, SW_SHOWNA);
  PumpMessages();
  return rendering.StillWanted() ? Rendering::Shown : Rendering::GaveUp;
}

}  // namespace

Rendering ResizePictureWindow(PictureWindow& window, const PlaceFor& placeFor, std::optional<LoadedPicture> alreadyRead,
                              const PictureSource& source) {
  const RenderingOf rendering(window);
  Rendering outcome = Rendering::GaveUp;
  {
    BusyCursor busy;  // one hourglass from the read to the window shown
    Scaled scaled = RenderAtDisplaySize(rendering, std::move(alreadyRead), source);
    outcome = scaled.outcome;
    if (outcome == Rendering::Shown) outcome = ShowAtDisplaySize(rendering, std::move(scaled.picture), placeFor);
  }
  if (outcome == Rendering::Unreadable) ShowUnsupportedFormat(rendering.path());
  return outcome;
}

}  // namespace pintaro
