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

// The picture read, at the display size of now; nothing when there is none, or no memory to scale it.
std::optional<Image32> AtDisplaySize(std::optional<LoadedPicture> picture, ReadFailure& failure) {
  if (!picture) return std::nullopt;
  std::optional<Image32> scaled =
      AtSize(std::move(picture->pixels), FitToDisplay(picture->size, Settings().DisplaySize()));
  if (!scaled) failure = ReadFailure::MayPass;  // memory short
  return scaled;
}

}  // namespace

void TellWhyShownPictureIsNotRead(const std::wstring& path, ReadFailure failure) {
  if (ProgramEnded()) return;
  if (CannotReadNow(failure)) {
    ShowCannotReadNow(path);
  } else {
    ShowUnsupportedFormat(path);
  }
}

Rendering ResizePictureWindow(PictureWindow& window, const PlaceFor& placeFor, std::optional<LoadedPicture> picture,
                              ReadFailure failure) {
  const std::wstring path = window.picturePath;
  {
    const BusyCursor busy;  // one hourglass from the scaling to the window shown
    std::shared_ptr<const Animation> animation = picture ? std::move(picture->animation) : nullptr;
    std::optional<Image32> scaled = AtDisplaySize(std::move(picture), failure);
    if (scaled) {
      window.SetPicture(CreateBitmapFromImage(*scaled));
      // Frames read for another display size, chosen meanwhile, are not scaled here: the picture shows still.
      const bool framesFit = animation && animation->frames[0].width() == scaled->width() &&
                             animation->frames[0].height() == scaled->height();
      window.Animate(framesFit ? std::move(animation) : nullptr);
      const SIZE size{scaled->width(), scaled->height()};
      scaled.reset();
      PlaceAtScreenPoint(window.hwnd(), placeFor(size), size);
      ShowWindow(window.hwnd(), SW_SHOWNA);
      return Rendering::Shown;
    }
    // A window that has a picture keeps it, as and where it was, while its file cannot be read now.
    if (CannotReadNow(failure) && window.shownBitmap) return Rendering::Kept;
    ShowWindow(window.hwnd(), SW_HIDE);
  }
  ShowUnsupportedFormat(path);
  return Rendering::Unreadable;
}

}  // namespace pintaro
