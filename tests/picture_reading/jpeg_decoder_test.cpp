#include "picture_reading/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "picture_logic/halftone_stretch.h"

namespace pintaro {
namespace {

// A file of the fuzzer's seeds (made by fuzz/corpus/jpeg/make_seeds.sh) decoded for a display size,
// or whole for 0.
DecodedJpeg Decode(const std::string& seed, int displaySize) {
  std::ifstream file(PINTARO_JPEG_SEEDS "/" + seed, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  const auto fit = [displaySize](Size picture) { return displaySize ? FitToDisplay(picture, displaySize) : picture; };
  return DecodeJpeg(bytes.data(), bytes.size(), fit);
}

// The decoded pixels averaged down to the size, as bytes.
std::vector<std::uint8_t> Averaged(const DecodedJpeg& decoded, Size size) {
  const Image32& pixels = decoded.pixels.value();
  Image32 shown = *Image32::Allocate(size.width, size.height);
  HalftoneStretch(shown.view(), 0, 0, size.width, size.height, pixels.view(), 0, 0, pixels.width(), pixels.height());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(shown.data());
  return {bytes, bytes + shown.byteSize()};
}

// The fewest eighths whose sides rounded up cover the shown size; pictures 960 wide, so decoded at 1/4 for
// display size 160 and at 1/2 for 480, with red, green and blue patches side by side along the bottom.
TEST(JpegDecoder, TheFewestEighthsThatCoverTheShownSizeAndEveryColourKindDecodedSmallerKeepsItsColours) {
  // 1279 / 8 and 959 / 8 rounded up are 160 and 120; halved, 320 and 240.
  const Size small{1279, 959};
  for (const auto& [target, eighths] : {std::pair{Size{160, 120}, 1}, {Size{320, 240}, 2}, {small, 8}, {Size{}, 8}})
    EXPECT_EQ(ChooseJpegScale(small, target), eighths) << target.width;
  const std::uint32_t rgb[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, grey[] = {0xFF363636, 0xFFB6B6B6, 0xFF121212};
  const std::pair<const char*, const std::uint32_t*> kinds[] = {
      {"photo.jpg", rgb},      {"progressive.jpg", rgb}, {"cmyk.jpg", rgb},
      {"plain-cmyk.jpg", rgb}, {"ycck.jpg", rgb},        {"grey.jpg", grey}};  // ImageMagick's grey: Rec. 709 luma
  for (const auto& [file, patches] : kinds) {
    for (const int displaySize : {160, 480}) {
      const DecodedJpeg reduced = Decode(file, displaySize);
      EXPECT_EQ(reduced.pixels.value().width(), displaySize == 160 ? 240 : 480) << file;
      const Size size = FitToDisplay(reduced.pictureSize, displaySize);
      const std::vector<std::uint8_t> shown = Averaged(reduced, size);
      for (int patch = 0, y = size.height * 7 / 8; patch < 3; ++patch)  // the middle of each, near the bottom
        for (int c = 0, x = size.width * (2 * patch + 1) / 6; c < 4; ++c)
          EXPECT_NEAR(shown[(y * size.width + x) * 4 + c], patches[patch] >> 8 * c & 0xFF, 6) << file;
    }
  }
  // Stray bytes between markers are only a warning (broken and hostile files: the drop's test).
  EXPECT_EQ(Decode("extraneous_bytes.jpg", 160).outcome, JpegOutcome::Decoded);
}

}  // namespace
}  // namespace pintaro
