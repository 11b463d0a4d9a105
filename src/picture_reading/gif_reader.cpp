#include "picture_reading/gif_reader.h"

#include <windows.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "picture_logic/halftone_stretch.h"
#include "win32/system_libraries.h"

namespace pintaro {

using Microsoft::WRL::ComPtr;

namespace {

// One value of a metadata reader, as Microsoft's documentation of the GIF metadata names it.
class MetadataValue {
 public:
  MetadataValue(IWICMetadataQueryReader* reader, const wchar_t* name) noexcept {
    found_ = reader && SUCCEEDED(reader->GetMetadataByName(name, &value_));
  }
  ~MetadataValue() { ole32::PropVariantClear(&value_); }
  MetadataValue(const MetadataValue&) = delete;
  MetadataValue& operator=(const MetadataValue&) = delete;

  std::optional<unsigned> Number() const noexcept {
    if (!found_) return std::nullopt;
    if (value_.vt == VT_UI1) return value_.bVal;
    if (value_.vt == VT_UI2) return value_.uiVal;
    if (value_.vt == VT_UI4) return value_.ulVal;
    return std::nullopt;
  }
  std::vector<std::uint8_t> Bytes() const {
    if (!found_ || value_.vt != (VT_VECTOR | VT_UI1)) return {};
    return {value_.caub.pElems, value_.caub.pElems + value_.caub.cElems};
  }

 private:
  PROPVARIANT value_{};
  bool found_ = false;
};

struct GifFile {
  ComPtr<IWICBitmapDecoder> decoder;
  UINT frames = 0;
  unsigned screenWidth = 0, screenHeight = 0;
  int plays = 1;
};

bool StartsAsGif(const std::vector<std::uint8_t>& bytes) noexcept {
  return bytes.size() >= 6 && std::memcmp(bytes.data(), "GIF8", 4) == 0;
}

// A GIF of more than one frame, with what its blocks say of the whole.
std::optional<GifFile> OpenGif(IWICImagingFactory* factory, const std::vector<std::uint8_t>& bytes) {
  if (!factory || !StartsAsGif(bytes)) return std::nullopt;
  ComPtr<IWICStream> stream;
  GifFile gif;
  if (FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &gif.decoder)) ||
      FAILED(gif.decoder->GetFrameCount(&gif.frames)) || gif.frames < 2) {
    return std::nullopt;
  }
  ComPtr<IWICMetadataQueryReader> reader;
  gif.decoder->GetMetadataQueryReader(&reader);
  gif.screenWidth = MetadataValue(reader.Get(), L"/logscrdesc/Width").Number().value_or(0);
  gif.screenHeight = MetadataValue(reader.Get(), L"/logscrdesc/Height").Number().value_or(0);
  const std::vector<std::uint8_t> application = MetadataValue(reader.Get(), L"/appext/application").Bytes();
  gif.plays = PlaysOf(LoopCountOf(application, MetadataValue(reader.Get(), L"/appext/data").Bytes()));
  return gif;
}

struct GifFrame {
  GifFrameInfo info;
  Image32 pixels;  // straight BGRA, transparent where alpha is 0
};

std::optional<GifFrame> ReadFrame(IWICImagingFactory* factory, const GifFile& gif, UINT index) {
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> bgra;
  UINT width = 0, height = 0;
  if (FAILED(gif.decoder->GetFrame(index, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
      !FitsDecodeLimit(width, height) || FAILED(factory->CreateFormatConverter(&bgra)) ||
      FAILED(bgra->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                              WICBitmapPaletteTypeCustom))) {
    return std::nullopt;
  }
  std::optional<Image32> pixels = Image32::Allocate(static_cast<int>(width), static_cast<int>(height));
  if (!pixels || FAILED(bgra->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels->byteSize()),
                                         reinterpret_cast<BYTE*>(pixels->data())))) {
    return std::nullopt;
  }
  ComPtr<IWICMetadataQueryReader> reader;
  frame->GetMetadataQueryReader(&reader);
  const auto number = [&](const wchar_t* name, unsigned otherwise) {
    return static_cast<int>(MetadataValue(reader.Get(), name).Number().value_or(otherwise));
  };
  GifFrameInfo info;
  info.rect = {number(L"/imgdesc/Left", 0), number(L"/imgdesc/Top", 0), number(L"/imgdesc/Width", width),
               number(L"/imgdesc/Height", height)};
  info.delayCentiseconds = static_cast<unsigned>(number(L"/grctlext/Delay", 0));
  info.disposal = DisposalOf(static_cast<unsigned>(number(L"/grctlext/Disposal", 0)));
  return GifFrame{info, std::move(*pixels)};
}

std::optional<Image32> Copied(const Image32& image) noexcept {
  std::optional<Image32> copy = Image32::Allocate(image.width(), image.height());
  if (copy) std::memcpy(copy->data(), image.data(), image.byteSize());
  return copy;
}

// Draws the frames up to the one given on the screen, as long as they can be read, and calls shown with
// each screen drawn until it answers false. The screen as drawn last; nothing when the first frame
// cannot be read, or the screen is larger than an animation's.
template <typename Shown>
std::optional<GifCompositor> Compose(IWICImagingFactory* factory, const GifFile& gif, UINT last, const Shown& shown) {
  std::optional<GifFrame> frame = ReadFrame(factory, gif, 0);
  if (!frame) return std::nullopt;
  const Size screen = LogicalScreen(gif.screenWidth, gif.screenHeight, frame->info.rect);
  const auto width = static_cast<std::uint64_t>(screen.width), height = static_cast<std::uint64_t>(screen.height);
  if (!FitsDecodeLimit(width, height) || width * height > kMostAnimatedScreenPixels) return std::nullopt;
  std::optional<GifCompositor> compositor = GifCompositor::Make(screen);
  for (UINT index = 0; compositor && frame; frame = ++index <= last ? ReadFrame(factory, gif, index) : std::nullopt) {
    if (!compositor->Draw(frame->info, frame->pixels.view()) || !shown(*compositor, frame->info, index)) break;
  }
  return compositor;
}

}  // namespace

std::optional<AnimatedGif> ReadAnimatedGif(IWICImagingFactory* factory, const std::vector<std::uint8_t>& bytes,
                                           const TargetSizeFor& target) noexcept {
  try {
    const std::optional<GifFile> gif = OpenGif(factory, bytes);
    if (!gif) return std::nullopt;
    std::optional<AnimatedGif> read;
    Size size;
    const auto shown = [&](const GifCompositor& compositor, const GifFrameInfo& info, UINT index) {
      const Size screen{compositor.canvas().width(), compositor.canvas().height()};
      if (index == 0) size = target ? target(screen) : screen;
      std::optional<Image32> opaque = compositor.OnWhite();
      if (opaque) opaque = ScalePicture(*opaque, size.width, size.height);
      if (!opaque) return false;
      if (index == 0) {
        std::optional<Image32> first = Copied(*opaque);
        if (!first) return false;
        read = AnimatedGif{std::move(*first), screen, nullptr};
        const std::uint64_t bytes = AnimationBytes(size, gif->frames);
        if (bytes > kAnimationShareBytes || !AnimationBudget().TryTake(bytes)) return false;
        read->animation = std::make_shared<Animation>();
        read->animation->room = BudgetRoom(&AnimationBudget(), bytes);
        read->animation->plays = gif->plays;
      }
      read->animation->frames.push_back(std::move(*opaque));
      read->animation->delaysMs.push_back(ShownDelayMs(info.delayCentiseconds));
      return true;
    };
    if (!Compose(factory, *gif, gif->frames - 1, shown) || !read) return std::nullopt;
    if (read->animation && read->animation->frames.size() < 2) read->animation.reset();  // the second was damaged
    return read;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<Image32> ReadGifScreenAt(IWICImagingFactory* factory, const std::vector<std::uint8_t>& bytes,
                                       std::size_t frame) noexcept {
  try {
    const std::optional<GifFile> gif = OpenGif(factory, bytes);
    if (!gif) return std::nullopt;
    const UINT last = static_cast<UINT>(std::min<std::size_t>(frame, gif->frames - 1));
    const auto drawn =
        Compose(factory, *gif, last, [](const GifCompositor&, const GifFrameInfo&, UINT) { return true; });
    return drawn ? drawn->OnWhite() : std::nullopt;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace pintaro
