// The Exif reader with any bytes as a segment's data, and the JPEG decoder with any bytes, for a display size (picked
// by the input's length) and in whole: the outcome agrees with the pixels and with the start marker; a decoded picture
// is turned upright by its Exif orientation, at the scale chosen for the stored picture's target (which scale covers a
// target: the native tests), within the program's picture limit and opaque; decoded again into the same buffer, cleared
// to transparent black, it gives the same pixels, every one written again (up to a megapixel).
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "picture_logic/fit.h"
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

void CheckDecoded(const DecodedJpeg& decoded, Size uprightTarget, int orientation) {
  const Size stored = UprightSize(decoded.pictureSize, orientation), target = UprightSize(uprightTarget, orientation);
  const Image32& pixels = *decoded.pixels;
  const Size scaled{(stored.width * decoded.eighths + 7) / 8, (stored.height * decoded.eighths + 7) / 8};
  FUZZ_CHECK(decoded.orientation == orientation && decoded.eighths == ChooseJpegScale(stored, target));
  FUZZ_CHECK((Size{pixels.width(), pixels.height()}) == UprightSize(scaled, orientation));
  FUZZ_CHECK(FitsDecodeLimit(pixels.width(), pixels.height()));
  for (std::size_t i = 0; i < pixels.byteSize() / 4; ++i) FUZZ_CHECK(pixels.data()[i] >> 24 == 0xFF);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto pool = std::make_shared<PixelBufferPool>(1);
  // The bytes as an Exif segment's data on their own, so that a read beyond the segment is one beyond the input.
  const int exif = ExifOrientation(data, size);
  FUZZ_CHECK(exif >= 1 && exif <= 8);
  for (const bool whole : {false, true}) {
    Size target;
    const TargetSizeFor targetFor = [&](Size picture) {
      return target = whole ? picture : FitToDisplay(picture, kDisplaySizes[size % 6]);
    };
    DecodedJpeg first = DecodeJpeg(data, size, targetFor, pool, kLimits);
    FUZZ_CHECK((first.outcome == JpegOutcome::NotJpeg) == (size < 2 || data[0] != 0xFF || data[1] != 0xD8));
    FUZZ_CHECK(first.pixels.has_value() == (first.outcome == JpegOutcome::Decoded));
    if (!first.pixels) continue;
    CheckDecoded(first, target, JpegOrientation(data, size));
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
