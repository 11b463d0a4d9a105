// The picture window's two copy commands: the picture as shown, and the file's picture at its own
// size. Either goes to the clipboard as a bitmap that any program can paste.
#include <optional>
#include <string>

#include "win32/busy_cursor.h"
#include "win32/handles.h"
#include "win32/message_box.h"
#include "win32/program.h"
#include "picture_window/picture_window.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_reading/picture_loader.h"

namespace pintaro {

namespace {

// A bitmap in the screen's own format: what CF_BITMAP readers expect. The clipboard makes the
// device-independent formats from it on request.
UniqueBitmap ScreenBitmapFrom(HBITMAP source) noexcept {
  const SIZE size = BitmapSize(source);
  if (size.cx <= 0 || size.cy <= 0) return {};
  WindowDc screen(nullptr);
  UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
  if (!copy) return {};
  UniqueMemoryDc from(CreateCompatibleDC(screen.get()));
  UniqueMemoryDc to(CreateCompatibleDC(screen.get()));
  if (!from || !to) return {};
  SelectedObject selectedFrom(from.get(), source);
  SelectedObject selectedTo(to.get(), copy.get());
  if (!BitBlt(to.get(), 0, 0, size.cx, size.cy, from.get(), 0, 0, SRCCOPY)) return {};
  return copy;
}

UniqueBitmap ScreenBitmapFrom(const Image32& picture) noexcept {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width();
  info.bmiHeader.biHeight = -picture.height();  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  WindowDc screen(nullptr);
  return UniqueBitmap(CreateDIBitmap(screen.get(), &info.bmiHeader, CBM_INIT, picture.data(), &info, DIB_RGB_COLORS));
}

// Replaces the clipboard's content with the bitmap. The bitmap is made before the clipboard is
// opened, so a picture that cannot be made leaves the clipboard as it was. Another program may hold
// the clipboard for a moment: OpenedClipboard tries again briefly, then the copy is given up.
void PutOnClipboard(HWND owner, UniqueBitmap bitmap) noexcept {
  if (!bitmap) return;
  OpenedClipboard clipboard(owner);
  if (!clipboard) return;
  EmptyClipboard();
  // From here on the clipboard owns the bitmap.
  if (SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release();
}

}  // namespace

void PictureWindow::CopyAtShownSize() {
  if (!shownBitmap) return;
  PutOnClipboard(hwnd(), ScreenBitmapFrom(shownBitmap.get()));
}

void PictureWindow::CopyAtOriginalSize() {
  const std::wstring path = picturePath;  // messages run while the file is read
  UniqueBitmap fullSize;
  ReadFailure failure = ReadFailure::None;
  {
    // The file is read first: one that is gone or unreadable leaves the clipboard untouched.
    BusyCursor busy;
    const std::optional<LoadedPicture> picture = LoadPictureOnWorker(path, {}, &failure, kCommandReadDeadline);
    if (picture) fullSize = ScreenBitmapFrom(picture->pixels);
  }
  // A picture shown from a reduced decode may be too large to hold at its own size: that is said, as is
  // a file that cannot be read now (gone, offline, locked).
  if (failure == ReadFailure::TooLarge) ShowUnsupportedFormat(path);
  if (CannotReadNow(failure) && !ProgramEnded()) ShowCannotReadNow(path);
  PutOnClipboard(hwnd(), std::move(fullSize));
}

}  // namespace pintaro
