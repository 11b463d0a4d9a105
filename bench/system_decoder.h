#pragma once
// The yardstick of the benchmarks: the system's picture decoder (WIC) decoding a whole file, as the
// program read every JPEG before libjpeg-turbo, its pixels copied out as they come (24 bits for a
// JPEG: the cheapest the system decoder gives them).
#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace bench {

inline bool SystemFullDecode(const std::wstring& path) {
  using Microsoft::WRL::ComPtr;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT width = 0, height = 0;
  WICPixelFormatGUID format{};
  ComPtr<IWICComponentInfo> info;
  ComPtr<IWICPixelFormatInfo> pixelFormat;
  UINT bits = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
      FAILED(frame->GetPixelFormat(&format)) || FAILED(factory->CreateComponentInfo(format, &info)) ||
      FAILED(info.As(&pixelFormat)) || FAILED(pixelFormat->GetBitsPerPixel(&bits))) {
    return false;
  }
  const UINT stride = (width * bits + 7) / 8;
  std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
  return SUCCEEDED(frame->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()));
}

}  // namespace bench
