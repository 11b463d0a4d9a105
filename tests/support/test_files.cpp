#include "support/test_files.h"

#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pintaro::test {

using Microsoft::WRL::ComPtr;

namespace {

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      const std::wstring full = dir + L"\\" + name;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
      DeleteFileW(full.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(dir.c_str());
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw std::runtime_error(what);
}

}  // namespace

TempDir::TempDir() {
  static unsigned counter = 0;
  path_ = (std::filesystem::temp_directory_path() / ("pintaro-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                                     std::to_string(GetTickCount()) + "-" + std::to_string(++counter)))
              .wstring();
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path_); }

Image32 MakeGradient(int width, int height) {
  auto image = Image32::Allocate(width, height);
  if (!image) throw std::runtime_error("picture too large");
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t r = static_cast<std::uint32_t>(x * 255 / std::max(1, width - 1));
      const std::uint32_t g = static_cast<std::uint32_t>(y * 255 / std::max(1, height - 1));
      image->at(x, y) = 0xFF000000u | (r << 16) | (g << 8) | 0x40;
    }
  }
  return std::move(*image);
}

void WritePicture(const std::wstring& path, const Image32& image, PictureFormat format) {
  const GUID container = format == PictureFormat::Bmp    ? GUID_ContainerFormatBmp
                         : format == PictureFormat::Jpeg ? GUID_ContainerFormatJpeg
                         : format == PictureFormat::Gif  ? GUID_ContainerFormatGif
                                                         : GUID_ContainerFormatPng;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // this thread may not have COM yet
  ComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)), "factory");
  ComPtr<IWICStream> stream;
  Check(factory->CreateStream(&stream), "stream");
  Check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), "open for writing");
  ComPtr<IWICBitmapEncoder> encoder;
  Check(factory->CreateEncoder(container, nullptr, &encoder), "encoder");
  Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), "encoder init");
  ComPtr<IWICBitmapFrameEncode> frame;
  Check(encoder->CreateNewFrame(&frame, nullptr), "frame");
  Check(frame->Initialize(nullptr), "frame init");
  Check(frame->SetSize(static_cast<UINT>(image.width()), static_cast<UINT>(image.height())), "size");

  ComPtr<IWICBitmap> bitmap;
  Check(factory->CreateBitmapFromMemory(static_cast<UINT>(image.width()), static_cast<UINT>(image.height()),
                                        GUID_WICPixelFormat32bppBGRA, static_cast<UINT>(image.width()) * 4,
                                        static_cast<UINT>(image.byteSize()),
                                        reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(image.data())), &bitmap),
        "bitmap");
  WICPixelFormatGUID wanted =
      format == PictureFormat::Gif ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat24bppBGR;
  Check(frame->SetPixelFormat(&wanted), "pixel format");
  ComPtr<IWICBitmapSource> source = bitmap;
  if (format == PictureFormat::Gif) {
    ComPtr<IWICPalette> palette;
    Check(factory->CreatePalette(&palette), "palette");
    Check(palette->InitializeFromBitmap(bitmap.Get(), 256, FALSE), "palette from bitmap");
    Check(frame->SetPalette(palette.Get()), "set palette");
    ComPtr<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(&converter), "converter");
    Check(converter->Initialize(bitmap.Get(), GUID_WICPixelFormat8bppIndexed, WICBitmapDitherTypeNone, palette.Get(),
                                0.0, WICBitmapPaletteTypeCustom),
          "convert to indexed");
    source = converter;
  }  // otherwise the frame converts the pixels itself
  Check(frame->WriteSource(source.Get(), nullptr), "write");
  Check(frame->Commit(), "commit frame");
  Check(encoder->Commit(), "commit");
}

void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  if (!file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())).flush())
    throw std::runtime_error("cannot write file");
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace pintaro::test
