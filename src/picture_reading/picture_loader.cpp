#include "picture_reading/picture_loader.h"

#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

#include "picture_logic/halftone_stretch.h"
#include "picture_logic/orientation.h"
#include "picture_reading/gif_reader.h"
#include "win32/file_access.h"
#include "win32/handles.h"
#include "win32/system_libraries.h"
#include "win32/worker.h"

namespace pintaro {

using Microsoft::WRL::ComPtr;

namespace {

// A file larger than the largest picture the program holds, in 32-bit pixels, is not read.
constexpr LONGLONG kMaxFileBytes = static_cast<LONGLONG>(kMaxPicturePixels * sizeof(std::uint32_t));

thread_local ComForReading* t_comForReading = nullptr;

// COM for one reading, unless this thread keeps it for all of them, or has it already (the
// user-interface thread with its drop target).
class ComScope {
 public:
  ComScope() noexcept {
    if (t_comForReading) {
      t_comForReading->SetUp();
    } else {
      initialized_ = SUCCEEDED(ole32::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
  }
  ~ComScope() {
    if (initialized_) ole32::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialized_ = false;
};

// The system's decoder reads the file's bytes as this program read them, not the file by name: it
// would open the file with less sharing than other programs may need.
ComPtr<IWICBitmapFrameDecode> OpenFirstFrame(IWICImagingFactory* factory, const std::vector<std::uint8_t>& bytes) {
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder))) {
    return nullptr;
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, &frame))) return nullptr;
  return frame;
}

ComPtr<IWICImagingFactory> CreateFactory() {
  ComPtr<IWICImagingFactory> factory;
  ole32::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
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

bool CopyConvertedPixels(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, Image32& image) noexcept {
  ComPtr<IWICFormatConverter> bgra;
  if (FAILED(factory->CreateFormatConverter(&bgra)) ||
      FAILED(bgra->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                              WICBitmapPaletteTypeCustom))) {
    return false;
  }
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

std::optional<LoadedPicture> DecodeFirstFrame(IWICImagingFactory* factory, const std::vector<std::uint8_t>& bytes,
                                              const std::shared_ptr<PixelBufferPool>& pool, bool& tooLarge) {
  if (!factory) return std::nullopt;
  const auto frame = OpenFirstFrame(factory, bytes);
  if (!frame) return std::nullopt;

  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height))) return std::nullopt;
  if (!FitsDecodeLimit(width, height)) {
    tooLarge = true;
    return std::nullopt;
  }
  WICPixelFormatGUID format{};
  const bool bgr = SUCCEEDED(frame->GetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR;

  const auto w = static_cast<int>(width), h = static_cast<int>(height);
  // The system's decoder holds a copy of its own while it decodes.
  const BudgetRoom decoderCopy = pool ? pool->Reserve(std::uint64_t{width} * height * 4) : BudgetRoom{};
  auto image = pool ? Image32::AllocateFrom(pool, w, h) : Image32::Allocate(w, h);
  if (!image || !(bgr ? CopyBgrPixels(frame.Get(), *image) : CopyConvertedPixels(factory, frame.Get(), *image))) {
    return std::nullopt;
  }
  return LoadedPicture{std::move(*image), {w, h}};
}

struct FileBytes {
  BudgetRoom room;
  std::vector<std::uint8_t> bytes;
};

// Another program holding the file for a moment, or memory held elsewhere for a moment: a later try
// may succeed. Any other error of the file system (gone, offline, out of reach, denied, a read that
// failed) says nothing of the content either.
ReadFailure WhyNotRead(DWORD error) noexcept {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_NOT_ENOUGH_MEMORY ||
                 error == ERROR_OUTOFMEMORY
             ? ReadFailure::MayPass
             : ReadFailure::Unreachable;
}

// The whole of the file: nothing when it cannot be read whole, or is larger than any picture the
// program holds. Its room is taken from the pool's budget first.
std::optional<FileBytes> WholeFile(HANDLE file, const std::shared_ptr<PixelBufferPool>& pool, ReadFailure& why) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) {
    why = WhyNotRead(GetLastError());
    return std::nullopt;
  }
  if (size.QuadPart > kMaxFileBytes) return std::nullopt;
  FileBytes whole{pool ? pool->Reserve(static_cast<std::uint64_t>(size.QuadPart)) : BudgetRoom{}, {}};
  std::vector<std::uint8_t>& bytes = whole.bytes;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  for (std::size_t at = 0; at < bytes.size(); at += read) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 24));
    if (!ReadFile(file, bytes.data() + at, chunk, &read, nullptr)) {
      why = WhyNotRead(GetLastError());  // a cloud file offline fails here, opened as a placeholder
      return std::nullopt;
    }
    if (read == 0) {
      why = ReadFailure::Unreachable;  // cut shorter while it was read
      return std::nullopt;
    }
  }
  return whole;
}

bool StartsAsJpeg(const std::vector<std::uint8_t>& bytes) noexcept {
  return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

// The picture in a file's bytes.
std::optional<LoadedPicture> DecodePicture(const std::vector<std::uint8_t>& bytes, const TargetSizeFor& target,
                                           const std::shared_ptr<PixelBufferPool>& pool, ReadFailure& why, PixelsAs as,
                                           std::optional<std::size_t> frame) {
  int orientation = kAsStored;
  if (StartsAsJpeg(bytes)) {
    const TargetSizeFor whole = [](Size picture) { return picture; };
    DecodedJpeg jpeg = DecodeJpeg(bytes.data(), bytes.size(), target ? target : whole, pool);
    if (jpeg.outcome == JpegOutcome::TooLarge) why = ReadFailure::TooLarge;
    if (jpeg.outcome == JpegOutcome::Decoded) return LoadedPicture{std::move(*jpeg.pixels), jpeg.pictureSize};
    // What libjpeg-turbo cannot read (12-bit samples, lossless files) goes to the system's decoder.
    if (jpeg.outcome != JpegOutcome::Unsupported && jpeg.outcome != JpegOutcome::NotJpeg) return std::nullopt;
    orientation = JpegOrientation(bytes.data(), bytes.size());
  }
  ComScope com;
  const ComPtr<IWICImagingFactory> factory = CreateFactory();
  // A GIF of many frames shows them composed on its screen: for a window, each at its size.
  if (!frame && as == PixelsAs::Targeted && target) {
    if (std::optional<AnimatedGif> gif = ReadAnimatedGif(factory.Get(), bytes, target))
      return LoadedPicture{std::move(gif->first), gif->screen, std::move(gif->animation)};
  } else if (std::optional<Image32> screen = ReadGifScreenAt(factory.Get(), bytes, frame.value_or(0))) {
    const Size size{screen->width(), screen->height()};
    return LoadedPicture{std::move(*screen), size};
  }
  bool large = false;
  std::optional<LoadedPicture> picture = DecodeFirstFrame(factory.Get(), bytes, pool, large);
  if (large) why = ReadFailure::TooLarge;
  // The system's decoder gives a JPEG as it is stored: it is turned upright here.
  if (picture && orientation != kAsStored) {
    std::optional<Image32> upright = TurnedUpright(std::move(picture->pixels), orientation, pool);
    if (!upright) return std::nullopt;
    return LoadedPicture{std::move(*upright), UprightSize(picture->size, orientation)};
  }
  return picture;
}

// The picture's pixels at the target's size for it; nothing when memory is short for the scaling.
std::optional<LoadedPicture> Targeted(LoadedPicture picture, const TargetSizeFor& target) {
  const Size size = target(picture.size);
  if (picture.pixels.width() == size.width && picture.pixels.height() == size.height) return picture;
  std::optional<Image32> scaled = ScalePicture(picture.pixels, size.width, size.height);
  if (!scaled) return std::nullopt;
  return LoadedPicture{std::move(*scaled), picture.size};
}

}  // namespace

ComForReading::ComForReading() noexcept : outer_(std::exchange(t_comForReading, this)) {}

ComForReading::~ComForReading() {
  t_comForReading = outer_;
  if (initialized_) ole32::CoUninitialize();
}

void ComForReading::SetUp() noexcept {
  if (std::exchange(tried_, true)) return;
  initialized_ = SUCCEEDED(ole32::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
}

TargetSizeFor ForDisplaySize(int displaySize) {
  return [displaySize](Size picture) { return FitToDisplay(picture, displaySize); };
}

std::optional<LoadedPicture> LoadPicture(const std::wstring& path, const TargetSizeFor& target,
                                         const std::shared_ptr<PixelBufferPool>& pool, ReadFailure* failure,
                                         PixelsAs as, std::optional<std::size_t> frame) noexcept {
  ReadFailure why = ReadFailure::NotAPicture;
  std::optional<LoadedPicture> picture;
  try {
    std::optional<FileBytes> file;
    {
      const UniqueKernelHandle opened = OpenForReading(path);
      if (!opened) why = WhyNotRead(GetLastError());
      // A pipe or a device might never end a read.
      if (opened && GetFileType(opened.get()) == FILE_TYPE_DISK) {
        file = WholeFile(opened.get(), pool, why);
      }
    }
    if (file) picture = DecodePicture(file->bytes, target, pool, why, as, frame);
    file.reset();
    if (picture && as == PixelsAs::Targeted && target) {
      picture = Targeted(std::move(*picture), target);
      if (!picture) why = ReadFailure::MayPass;  // memory short for the scaling
    }
  } catch (const std::bad_alloc&) {
    picture.reset();
    why = ReadFailure::MayPass;  // memory that other pictures hold just now
  }
  if (failure) *failure = picture ? ReadFailure::None : why;
  return picture;
}

}  // namespace pintaro
