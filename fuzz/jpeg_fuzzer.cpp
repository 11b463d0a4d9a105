// The JPEG decoder with any bytes, for a display size (picked by the input's length) and in whole:
// the outcome agrees with the pixels and with the start marker; a decoded picture has the size its
// frame header gives, turned upright by its Exif orientation and scaled by the fewest eighths that cover
// the target, within the program's
// picture limit, opaque, with no more scans than allowed; decoded again into the same buffer,
// cleared to transparent black, it gives the same pixels, every one written again (up to a
// megapixel).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "picture_logic/fit.h"
#include "picture_logic/image.h"
#include "picture_logic/orientation.h"
#include "picture_reading/jpeg_decoder.h"

using namespace pintaro;

namespace {

// Lower than the program's, to keep each input quick.
constexpr JpegLimits kLimits{.maxScans = 20, .maxDecoderMemory = 64 << 20};
constexpr int kDisplaySizes[] = {80, 120, 160, 240, 320, 480};
// Pictures decoded twice, up to a megapixel: one over 2^28 pixels decodes to 4 megapixels at the
// least, too slow to do twice for each input.
constexpr std::size_t kAgainBytes = 4 << 20;

struct FrameHeader {
  Size size;
  bool progressive = false;
  int scans = 0;  // before the end marker
};

bool IsRestart(std::uint8_t marker) { return marker >= 0xD0 && marker <= 0xD7; }

// A plain walk over the markers, reading them as libjpeg does: bytes before a marker that are not
// 0xFF, and 0xFF 0x00, are skipped; a scan's data runs to the first marker that is not a restart.
FrameHeader ReadFrameHeader(const std::uint8_t* d, std::size_t n) {
  FrameHeader header;
  std::size_t i = 2;
  while (i + 1 < n) {
    const std::uint8_t marker = d[i + 1];
    if (d[i] != 0xFF || marker == 0xFF) {
      ++i;
      continue;
    }
    i += 2;
    if (marker == 0xD9) break;
    if (marker == 0x00 || marker == 0x01 || IsRestart(marker) || i + 1 >= n) continue;  // no length
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame && header.size == Size{} && i + 6 < n) {
      header.size = {d[i + 5] << 8 | d[i + 6], d[i + 3] << 8 | d[i + 4]};
      header.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
    }
    i += std::max(d[i] << 8 | d[i + 1], 2);
    if (marker != 0xDA) continue;
    ++header.scans;
    while (i + 1 < n && !(d[i] == 0xFF && d[i + 1] != 0x00 && !IsRestart(d[i + 1]))) ++i;
  }
  return header;
}

std::int64_t Scaled(int side, int eighths) { return (std::int64_t{side} * eighths + 7) / 8; }

bool Covers(Size picture, int eighths, Size target) {
  return Scaled(picture.width, eighths) >= target.width && Scaled(picture.height, eighths) >= target.height;
}

// The target is the upright picture's; the scale, the stored one's.
void CheckDecoded(const DecodedJpeg& decoded, const FrameHeader& header, Size uprightTarget, int orientation) {
  const int eighths = decoded.eighths;
  FUZZ_CHECK(decoded.orientation == orientation);
  FUZZ_CHECK(decoded.pictureSize == UprightSize(header.size, orientation));
  FUZZ_CHECK(eighths == 1 || eighths == 2 || eighths == 4 || eighths == 8);
  const Size target = UprightSize(uprightTarget, orientation);
  const bool whole = target.width <= 0 || target.height <= 0 || target.width >= header.size.width ||
                     target.height >= header.size.height;
  FUZZ_CHECK(whole
                 ? eighths == 8
                 : Covers(header.size, eighths, target) && (eighths == 1 || !Covers(header.size, eighths / 2, target)));
  const Image32& pixels = *decoded.pixels;
  const Size scaled{static_cast<int>(Scaled(header.size.width, eighths)),
                    static_cast<int>(Scaled(header.size.height, eighths))};
  FUZZ_CHECK((Size{pixels.width(), pixels.height()}) == UprightSize(scaled, orientation));
  FUZZ_CHECK(FitsDecodeLimit(pixels.width(), pixels.height()));
  FUZZ_CHECK(!header.progressive || header.scans <= kLimits.maxScans);
  const std::uint32_t* p = pixels.data();
  for (std::size_t i = 0; i < pixels.byteSize() / 4; ++i) FUZZ_CHECK(p[i] >> 24 == 0xFF);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto pool = std::make_shared<PixelBufferPool>(1);
  const bool startMarker = size >= 2 && data[0] == 0xFF && data[1] == 0xD8;
  const FrameHeader header = startMarker ? ReadFrameHeader(data, size) : FrameHeader{};
  for (const bool whole : {false, true}) {
    Size target;
    const TargetSizeFor targetFor = [&](Size picture) {
      return target = whole ? picture : FitToDisplay(picture, kDisplaySizes[size % 6]);
    };
    DecodedJpeg first = DecodeJpeg(data, size, targetFor, pool, kLimits);
    FUZZ_CHECK((first.outcome == JpegOutcome::NotJpeg) == !startMarker);
    FUZZ_CHECK(first.pixels.has_value() == (first.outcome == JpegOutcome::Decoded));
    if (!first.pixels) continue;
    CheckDecoded(first, header, target, JpegOrientation(data, size));
    if (first.pixels->byteSize() > kAgainBytes) continue;

    const std::vector<std::uint32_t> pixels(first.pixels->data(), first.pixels->data() + first.pixels->byteSize() / 4);
    std::memset(first.pixels->data(), 0, first.pixels->byteSize());
    first.pixels.reset();  // the cleared buffer goes back to the pool, for the same picture again
    const DecodedJpeg again = DecodeJpeg(data, size, targetFor, pool, kLimits);
    FUZZ_CHECK(again.pixels && again.pixels->byteSize() == pixels.size() * 4);
    FUZZ_CHECK(std::memcmp(again.pixels->data(), pixels.data(), again.pixels->byteSize()) == 0);
  }
  return 0;
}
