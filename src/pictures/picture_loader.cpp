#include "pictures/picture_loader.h"

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

// The decoder's objects go as soon as the pixels are copied: some keep a whole copy of the picture.
std::optional<Image32> DecodeFirstFrame(const std::wstring& path, const std::shared_ptr<PixelBufferPool>& pool) {
  const auto factory = CreateFactory();
  if (!factory) return std::nullopt;
  const auto frame = OpenFirstFrame(factory.Get(), path);
  if (!frame) return std::nullopt;

  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || !FitsDecodeLimit(width, height)) return std::nullopt;

  ComPtr<IWICBitmapSource> bgra;
  if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.Get(), &bgra))) return std::nullopt;

  const auto w = static_cast<int>(width), h = static_cast<int>(height);
  auto image = pool ? Image32::AllocateFrom(pool, w, h) : Image32::Allocate(w, h);
  if (!image) return std::nullopt;
  // Band by band: a format converter asked for the whole picture at once holds a second copy of it
  // in the source's format, and several decodes may run at once.
  constexpr UINT kBandRows = 64;
  const UINT stride = width * 4;
  for (UINT top = 0; top < height; top += kBandRows) {
    const WICRect band{0, static_cast<INT>(top), static_cast<INT>(width),
                       static_cast<INT>(std::min(kBandRows, height - top))};
    BYTE* first = reinterpret_cast<BYTE*>(image->data()) + static_cast<std::size_t>(top) * stride;
    if (FAILED(bgra->CopyPixels(&band, stride, stride * static_cast<UINT>(band.Height), first))) return std::nullopt;
  }
  return image;
}

}  // namespace

std::optional<Image32> LoadPicture(const std::wstring& path, const std::shared_ptr<PixelBufferPool>& pool) noexcept {
  ComScope com;
  auto image = DecodeFirstFrame(path, pool);
  if (image) FlattenOnWhite(*image);
  return image;
}

}  // namespace pintaro
