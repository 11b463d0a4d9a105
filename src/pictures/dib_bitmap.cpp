#include "pictures/dib_bitmap.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace pintaro {

UniqueBitmap CreateBitmapFromImage(const Image32& image) noexcept {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width();
  info.bmiHeader.biHeight = -image.height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap && bits) std::memcpy(bits, image.data(), image.byteSize());
  return bitmap;
}

namespace {

// Where the pixels start behind the header: after the colour table, and after the three colour masks
// that a plain header with bit fields carries.
std::size_t PixelOffset(const BITMAPINFOHEADER& header) noexcept {
  std::size_t colours = header.biClrUsed;
  if (colours == 0 && header.biBitCount <= 8) colours = std::size_t{1} << header.biBitCount;
  const bool masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER);
  return header.biSize + colours * sizeof(RGBQUAD) + (masks ? 3 * sizeof(DWORD) : 0);
}

}  // namespace

std::optional<Image32> ImageFromPackedDib(const void* dib, std::size_t size) noexcept {
  if (!dib || size < sizeof(BITMAPINFOHEADER)) return std::nullopt;
  const auto* header = static_cast<const BITMAPINFOHEADER*>(dib);
  const std::size_t offset = PixelOffset(*header);
  if (header->biSize < sizeof(BITMAPINFOHEADER) || offset >= size || header->biHeight == INT_MIN) return std::nullopt;
  std::optional<Image32> image = Image32::Allocate(header->biWidth, std::abs(header->biHeight));
  if (!image) return std::nullopt;
  UniqueBitmap target = CreateBitmapFromImage(*image);
  DIBSECTION section{};
  if (!target || !GetObjectW(target.get(), sizeof(section), &section)) return std::nullopt;
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  {
    SelectedObject selected(dc.get(), target.get());
    const int drawn = StretchDIBits(dc.get(), 0, 0, image->width(), image->height(), 0, 0, image->width(),
                                    image->height(), static_cast<const BYTE*>(dib) + offset,
                                    reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS, SRCCOPY);
    if (drawn <= 0) return std::nullopt;
    GdiFlush();
  }
  std::memcpy(image->data(), section.dsBm.bmBits, image->byteSize());
  return image;
}

SIZE BitmapSize(HBITMAP bitmap) noexcept {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

}  // namespace pintaro
