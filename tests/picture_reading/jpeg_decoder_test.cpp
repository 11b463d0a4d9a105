#include "picture_reading/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "picture_logic/halftone_stretch.h"

namespace pintaro {
namespace {

// A file of the fuzzer's seeds (made by fuzz/corpus/jpeg/make_seeds.sh) decoded for a display size,
// or whole for 0.
DecodedJpeg Decode(const std::string& seed, int displaySize, const JpegLimits& limits = {}) {
  std::ifstream file(PINTARO_JPEG_SEEDS "/" + seed, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  const auto fit = [displaySize](Size picture) { return displaySize ? FitToDisplay(picture, displaySize) : picture; };
  return DecodeJpeg(bytes.data(), bytes.size(), fit, nullptr, limits);
}

Image32 Averaged(const Image32& decoded, Size size) {
  Image32 shown = *Image32::Allocate(size.width, size.height);
  HalftoneStretch(shown.view(), 0, 0, size.width, size.height, decoded.view(), 0, 0, decoded.width(), decoded.height());
  return shown;
}

int Byte(std::uint32_t pixel, int index) { return pixel >> (8 * index) & 0xFF; }

TEST(JpegScale, TheFewestEighthsWhoseSidesRoundedUpCoverTheShownSize) {
  // 1279 / 8 and 959 / 8 rounded up are 160 and 120; halved, 320 and 240.
  const Size small{1279, 959};
  for (const auto& [target, eighths] : {std::pair{Size{160, 120}, 1}, {Size{320, 240}, 2}, {small, 8}, {Size{}, 8}})
    EXPECT_EQ(ChooseJpegScale(small, target), eighths) << target.width;
}

// Pictures 960 wide, so decoded at 1/4 for display size 160 and at 1/2 for 480, with red, green and
// blue patches side by side along the bottom.
TEST(JpegDecoder, EveryColourKindDecodedSmallerAveragesAsTheWholeDecodeAndKeepsItsColours) {
  const std::uint32_t rgb[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, grey[] = {0xFF363636, 0xFFB6B6B6, 0xFF121212};
  const std::pair<const char*, const std::uint32_t*> kinds[] = {
      {"photo.jpg", rgb},      {"progressive.jpg", rgb}, {"cmyk.jpg", rgb},
      {"plain-cmyk.jpg", rgb}, {"ycck.jpg", rgb},        {"grey.jpg", grey}};  // ImageMagick's grey: Rec. 709 luma
  for (const auto& [file, patches] : kinds) {
    const DecodedJpeg whole = Decode(file, 0);
    for (const int displaySize : {160, 480}) {
      const DecodedJpeg reduced = Decode(file, displaySize);
      EXPECT_EQ(reduced.pixels.value().width(), displaySize == 160 ? 240 : 480) << file;
      const Size size = FitToDisplay(whole.pictureSize, displaySize);
      const Image32 expected = Averaged(whole.pixels.value(), size), shown = Averaged(reduced.pixels.value(), size);
      long difference[4] = {};
      for (int i = 0; i < size.width * size.height; ++i)
        for (int c = 0; c < 4; ++c) difference[c] += std::abs(Byte(expected.data()[i], c) - Byte(shown.data()[i], c));
      for (const long d : difference) EXPECT_LE(d, 2L * size.width * size.height) << file << " at " << displaySize;
      for (int i = 0; i < 3; ++i)
        for (const int c : {0, 1, 2, 3})
          EXPECT_NEAR(Byte(shown.at(size.width * (2 * i + 1) / 6, size.height * 7 / 8), c), Byte(patches[i], c), 6)
              << file;
    }
  }
  // Stray bytes between markers are only a warning (broken and hostile files: the drop's test).
  EXPECT_EQ(Decode("extraneous_bytes.jpg", 160).outcome, JpegOutcome::Decoded);
}

}  // namespace
}  // namespace pintaro
