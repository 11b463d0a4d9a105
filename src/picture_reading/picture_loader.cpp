#include "picture_reading/picture_loader.h"

#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstddef>

namespace pintaro {

using Microsoft::WRL::ComPtr;

namespace {

// COM is set up for this thread by the program's start; this covers callers that did not.
class ComScope {
 public:
  ComScope() noexcept : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

ComPtr<IWICBitmapFrameDecode> OpenFirstFrame(IWICImagingFactory* factory, const std::wstring& path) {
  // A folder or a device is not a picture, whatever its name says.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;

  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                &decoder))) {
    return nullptr;
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, &frame))) return nullptr;
  return frame;
}

ComPtr<IWICImagingFactory> CreateFactory() {
  ComPtr<IWICImagingFactory> factory;
  CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
  return factory;
}

// Straight alpha over white, so transparent parts of GIFs and PNGs show as white paper.
void FlattenOnWhite(Image32& image) noexcept {
  std::uint32_t* p = image.data();
  const std::size_t count = static_cast<std::size_t>(image.width()) * image.height();
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t px = p[i];
    const std::uint32_t a = px >> 24;
    if (a == 255) continue;
    const auto blend = [a](std::uint32_t c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    p[i] = blend(px & 0xFF) | (blend((px >> 8) & 0xFF) << 8) | (blend((px >> 16) & 0xFF) << 16) | 0xFF000000u;
  }
}

// Band by band: a format converter asked for the whole picture at once holds a second copy of it
// in the source's format, and several decodes may run at once.
constexpr UINT kBandRows = 64;

WICRect BandAt(UINT top, const Image32& image) noexcept {
  const auto height = static_cast<UINT>(image.height());
  return {0, static_cast<INT>(top), image.width(), static_cast<INT>(std::min(kBandRows, height - top))};
}

bool CopyConvertedPixels(IWICBitmapFrameDecode* frame, Image32& image) noexcept {
  ComPtr<IWICBitmapSource> bgra;
  if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame, &bgra))) return false;
  const auto stride = static_cast<UINT>(image.width()) * 4;
  for (UINT top = 0; top < static_cast<UINT>(image.height()); top += kBandRows) {
    const WICRect band = BandAt(top, image);
    BYTE* first = reinterpret_cast<BYTE*>(image.data()) + static_cast<std::size_t>(top) * stride;
    if (FAILED(bgra->CopyPixels(&band, stride, stride * static_cast<UINT>(band.Height), first))) return false;
  }
  FlattenOnWhite(image);
  return true;
}

// JPEGs and 24-bit bitmaps: their pixels are copied as they come and widened here, faster than by a
// format converter, and opaque already.
bool CopyBgrPixels(IWICBitmapFrameDecode* frame, Image32& image) noexcept {
  const auto width = static_cast<UINT>(image.width());
  for (UINT top = 0; top < static_cast<UINT>(image.height()); top += kBandRows) {
    const WICRect band = BandAt(top, image);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<UINT>(band.Height);
    std::uint32_t* const widened = image.data() + static_cast<std::size_t>(top) * width;
    // The band's 3-byte pixels go at the end of its place, so each is read before it is overwritten.
    BYTE* const packed = reinterpret_cast<BYTE*>(widened) + count;
    if (FAILED(frame->CopyPixels(&band, width * 3, static_cast<UINT>(count * 3), packed))) {
      return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
      const BYTE* bgr = packed + 3 * i;
      widened[i] =
          bgr[0] | static_cast<std::uint32_t>(bgr[1]) << 8 | static_cast<std::uint32_t>(bgr[2]) << 16 | 0xFF000000u;
    }
  }
  return true;
}

std::optional<Image32> DecodeFirstFrame(const std::wstring& path, const std::shared_ptr<PixelBufferPool>& pool) {
  const auto factory = CreateFactory();
  if (!factory) return std::nullopt;
  const auto frame = OpenFirstFrame(factory.Get(), path);
  if (!frame) return std::nullopt;

  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || !FitsDecodeLimit(width, height)) return std::nullopt;
  WICPixelFormatGUID format{};
  const bool bgr = SUCCEEDED(frame->GetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR;

  const auto w = static_cast<int>(width), h = static_cast<int>(height);
  auto image = pool ? Image32::AllocateFrom(pool, w, h) : Image32::Allocate(w, h);
  if (!image || !(bgr ? CopyBgrPixels(frame.Get(), *image) : CopyConvertedPixels(frame.Get(), *image))) {
    return std::nullopt;
  }
  return image;
}

}  // namespace

std::optional<Image32> LoadPicture(const std::wstring& path, const std::shared_ptr<PixelBufferPool>& pool) noexcept {
  ComScope com;
  return DecodeFirstFrame(path, pool);
}

}  // namespace pintaro
