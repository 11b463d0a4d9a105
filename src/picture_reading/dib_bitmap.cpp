#include "picture_reading/dib_bitmap.h"

#include <cstdlib>
#include <cstring>

#include "picture_logic/packed_dib.h"

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

std::optional<Image32> ImageFromPackedDib(const void* dib, std::size_t size) noexcept {
  const auto* bytes = static_cast<const std::uint8_t*>(dib);
  const std::optional<PackedDibLayout> layout = CheckPackedDib(bytes, size);
  if (!layout) return std::nullopt;
  std::optional<Image32> image = Image32::Allocate(layout->width, std::abs(layout->height));
  if (!image) return std::nullopt;
  UniqueBitmap target = CreateBitmapFromImage(*image);
  DIBSECTION section{};
  if (!target || !GetObjectW(target.get(), sizeof(section), &section)) return std::nullopt;
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  {
    SelectedObject selected(dc.get(), target.get());
    const int drawn =
        StretchDIBits(dc.get(), 0, 0, image->width(), image->height(), 0, 0, image->width(), image->height(),
                      bytes + layout->pixelOffset, reinterpret_cast<const BITMAPINFO*>(bytes), DIB_RGB_COLORS, SRCCOPY);
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
