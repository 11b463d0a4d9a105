#include "picture_windows/paste.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "win32/program.h"
#include "picture_logic/bmp_file.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_windows/picture_windows.h"
#include "win32/busy_cursor.h"
#include "win32/handles.h"
#include "win32/temp_files.h"

namespace pintaro {

namespace {

std::optional<Image32> ClipboardPicture() {
  OpenedClipboard clipboard(IconWindowHandle());
  if (!clipboard) return std::nullopt;
  // The bitmap as a DIB, which Windows makes from it on request: it also comes whole from another
  // process, where a bitmap handle may not.
  HGLOBAL dib = GetClipboardData(CF_DIB);
  const void* bytes = dib ? GlobalLock(dib) : nullptr;
  if (!bytes) return std::nullopt;
  std::optional<Image32> picture = ImageFromPackedDib(bytes, GlobalSize(dib));
  GlobalUnlock(dib);
  return picture;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  UniqueKernelHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// The picture in a new temporary file; its path, or empty when it could not be written whole.
std::wstring SaveAsTempFile(const Image32& picture) {
  // Encoded first: running out of memory there leaves no empty file behind.
  const std::vector<std::uint8_t> bytes = EncodeBmp24(picture);
  const std::wstring path = MakeTempFileName();
  if (path.empty()) return {};
  if (!WriteWholeFile(path, bytes)) {
    DeleteFileW(path.c_str());
    return {};
  }
  return path;
}

}  // namespace

void PasteFromClipboard() {
  if (!IsClipboardFormatAvailable(CF_BITMAP)) return;
  std::wstring path;
  try {
    BusyCursor busy;
    std::optional<Image32> picture = ClipboardPicture();
    if (!picture) return;
    path = SaveAsTempFile(*picture);
  } catch (const std::bad_alloc&) {
    return;  // too large to hold twice; nothing was written
  }
  if (!path.empty()) OpenPictureFile(path);
}

}  // namespace pintaro
