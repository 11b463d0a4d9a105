#include "pictures/picture_rendering.h"

#include <windows.h>

#include <new>

#include "app/program.h"
#include "win32/busy_cursor.h"
#include "win32/message_box.h"
#include "win32/message_pump.h"
#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "pictures/dib_bitmap.h"
#include "pictures/fit.h"
#include "pictures/halftone_stretch.h"
#include "pictures/picture_loader.h"

namespace pintaro {

namespace {
std::optional<Image32> ReadPicture(const std::wstring& path, const PictureSource& source) {
  return source ? source(path) : LoadPicture(path);
}
}  // namespace

std::optional<Image32> ReadPictureOrReport(const std::wstring& path, const PictureSource& source) {
  std::optional<Image32> picture;
  {
    BusyCursor busy;
    picture = ReadPicture(path, source);
  }
  // A source may let messages run while it waits: the program may have ended there.
  if (!picture && !ProgramEnded()) ShowUnsupportedFormat(path);
  return picture;
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

// Everything up to the window's new picture, under the hourglass. Nothing when the file is unreadable.
std::optional<Image32> RenderAtDisplaySize(PictureWindow& window, std::optional<Image32> alreadyRead,
                                           const PictureSource& read) {
  BusyCursor busy;
  ShowWindow(window.hwnd(), SW_HIDE);
  std::optional<Image32> source = alreadyRead ? std::move(alreadyRead) : ReadPicture(window.picturePath, read);
  if (!source) return std::nullopt;
  PumpMessages();
  if (ProgramEnded()) return std::nullopt;
  const Size fit = FitToDisplay({source->width(), source->height()}, Settings().displaySize);
  auto scaled = ScalePicture(*source, fit.width, fit.height);
  source.reset();  // the full-size picture is not kept a moment longer than needed
  PumpMessages();
  return scaled;
}

}  // namespace

bool ResizePictureWindow(PictureWindow& window, std::optional<Image32> alreadyRead, const PictureSource& source) {
  std::optional<Image32> scaled = RenderAtDisplaySize(window, std::move(alreadyRead), source);
  if (ProgramEnded() || !window.exists()) return false;
  if (!scaled) {
    ShowUnsupportedFormat(window.picturePath);
    return false;
  }
  BusyCursor busy;
  window.SetPicture(CreateBitmapFromImage(*scaled));
  SetWindowPos(window.hwnd(), nullptr, 0, 0, scaled->width(), scaled->height(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  scaled.reset();
  ShowWindow(window.hwnd(), SW_SHOWNA);
  PumpMessages();
  return !ProgramEnded() && window.exists();
}

}  // namespace pintaro
