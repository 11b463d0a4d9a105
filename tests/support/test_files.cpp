#include "support/test_files.h"

#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

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
      if (name == L"." || name == L"..") continue;
      const std::wstring full = dir + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
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
  wchar_t base[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  path_ = std::wstring(base) + L"pintaro-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
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

Image32 MakeSolid(int width, int height, std::uint32_t bgra) {
  auto image = Image32::Allocate(width, height);
  if (!image) throw std::runtime_error("picture too large");
  std::fill(image->data(), image->data() + static_cast<std::size_t>(width) * height, bgra);
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
  } else {
    ComPtr<IWICBitmapSource> converted;
    Check(WICConvertBitmapSource(GUID_WICPixelFormat24bppBGR, bitmap.Get(), &converted), "convert");
    source = converted;
  }
  Check(frame->WriteSource(source.Get(), nullptr), "write");
  Check(frame->Commit(), "commit frame");
  Check(encoder->Commit(), "commit");
}

void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create file");
  DWORD written = 0;
  const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != bytes.size()) throw std::runtime_error("cannot write file");
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace pintaro::test
