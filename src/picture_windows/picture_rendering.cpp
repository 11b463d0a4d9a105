#include "picture_windows/picture_rendering.h"

#include <windows.h>

#include <memory>
#include <new>

#include "win32/program.h"
#include "win32/busy_cursor.h"
#include "win32/message_box.h"
#include "win32/window_position.h"
#include "picture_window/picture_window.h"
#include "picture_windows/picture_windows.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_logic/fit.h"
#include "picture_logic/halftone_stretch.h"
#include "picture_reading/picture_loader.h"

namespace pintaro {

namespace {

std::optional<LoadedPicture> ReadPicture(const std::wstring& path, const PictureSource& source, ReadFailure& failure) {
  const int displaySize = Settings().DisplaySize();
  return source ? source(path, displaySize, failure) : LoadPictureOnWorker(path, ForDisplaySize(displaySize), &failure);
}

// The message for a file that gave no picture: an opening says that the file is no picture it reads,
// whatever kept it from reading it; a picture already shown tells a file that cannot be read now apart.
void TellWhyNoPicture(const std::wstring& path, ReadFailure failure, bool shownAlready) {
  if (shownAlready && CannotReadNow(failure)) {
    ShowCannotReadNow(path);
  } else {
    ShowUnsupportedFormat(path);
  }
}

// The pixels at the size given: as they are when they have it (the worker that read them scaled them),
// else scaled here. They were then read for another display size, chosen while the file was read, so
// they are no larger than a picture window: scaling them takes a moment, not a worker. Nothing when
// memory is short.
std::optional<Image32> AtSize(Image32 pixels, Size size) {
  if (pixels.width() == size.width && pixels.height() == size.height) return pixels;
  try {
    return ScalePicture(pixels, size.width, size.height);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace

void TellWhyShownPictureIsNotRead(const std::wstring& path, ReadFailure failure) {
  if (!ProgramEnded()) TellWhyNoPicture(path, failure, true);
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

// A window that has a picture keeps it, as and where it was, while its file cannot be read now.
Scaled NoNewPicture(const RenderingOf& rendering, ReadFailure failure, bool wasShown) {
  if (!CannotReadNow(failure) || !rendering.window().shownBitmap) return {Rendering::Unreadable, std::nullopt};
  if (wasShown) ShowWindow(rendering.window().hwnd(), SW_SHOWNA);
  return {Rendering::Kept, std::nullopt};
}

// Everything up to the window's new picture.
Scaled RenderAtDisplaySize(const RenderingOf& rendering, std::optional<LoadedPicture> alreadyRead,
                           const PictureSource& read) {
  const bool wasShown = IsWindowVisible(rendering.window().hwnd()) != FALSE;
  ShowWindow(rendering.window().hwnd(), SW_HIDE);
  ReadFailure failure = ReadFailure::None;
  std::optional<LoadedPicture> source =
      alreadyRead ? std::move(alreadyRead) : ReadPicture(rendering.path(), read, failure);
  if (!rendering.StillWanted()) return {};  // a source may let messages run while it waits
  if (!source) return NoNewPicture(rendering, failure, wasShown);
  // Read for another display size when one was chosen during the read: scaled again.
  const Size fit = FitToDisplay(source->size, Settings().DisplaySize());
  std::optional<Image32> scaled = AtSize(std::move(source->pixels), fit);
  source.reset();
  if (!scaled) return NoNewPicture(rendering, ReadFailure::MayPass, wasShown);  // memory short
  return {Rendering::Shown, std::move(scaled)};
}

// The window takes its picture and shows with it, where placeFor puts it.
Rendering ShowAtDisplaySize(const RenderingOf& rendering, std::optional<Image32> picture, const PlaceFor& placeFor) {
  const HWND hwnd = rendering.window().hwnd();
  rendering.window().SetPicture(CreateBitmapFromImage(*picture));
  const SIZE size{picture->width(), picture->height()};
  picture.reset();
  PlaceAtScreenPoint(hwnd, placeFor(size), size);
  ShowWindow(hwnd, SW_SHOWNA);
  return Rendering::Shown;
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
