// The halftone resampler as the program calls it: a whole picture of 1 pixel to the 2^20 side limit onto
// a whole destination of up to 512 pixels a side. Every pixel is written, each of its bytes within the
// range of the source's, nothing beyond the destination, and a picture of the destination's size is
// copied as it is. A source larger than 2^16 pixels repeats one row (a view with stride 0), so only its
// width costs memory; calls whose work would exceed kWorkLimit source-pixel visits are skipped.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "picture_logic/halftone_stretch.h"

using namespace pintaro;

namespace {

constexpr std::int64_t kWorkLimit = 1 << 18;

// From 1 to 2^bits, small sides as often as large ones.
int Side(FuzzedDataProvider& in, int bits) {
  return in.ConsumeIntegralInRange<int>(1, 1 << in.ConsumeIntegralInRange(0, bits));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int sw = Side(in, 20), sh = Side(in, 20), dw = Side(in, 9), dh = Side(in, 9);
  // Source pixels read: each source row once per destination row, each source column once per row.
  if (std::min<std::int64_t>(sw, std::int64_t{dw} * (sw / dw + 2)) * dh * (sh / dh + 2) > kWorkLimit) return 0;
  const bool repeatRows = std::int64_t{sw} * sh > (1 << 16), uniform = in.ConsumeBool();
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(sw) * (repeatRows ? 1 : sh));
  std::array<std::uint32_t, 4> low{255, 255, 255, 255}, high{};
  std::uint32_t seed = in.ConsumeIntegral<std::uint32_t>() | 1;
  for (std::uint32_t& pixel : pixels) {
    pixel = seed;
    if (!uniform) seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
    for (int c = 0; c < 4; ++c)
      low[c] = std::min(low[c], pixel >> 8 * c & 255), high[c] = std::max(high[c], pixel >> 8 * c & 255);
  }
  // Untouched pixels keep the marker, which for a one-coloured source differs from every result; one more
  // pixel after the destination guards its end.
  const std::uint32_t marker = uniform ? ~pixels[0] : 0xD1CE5EEDu;
  std::vector<std::uint32_t> out(static_cast<std::size_t>(dw) * dh + 1, marker);
  HalftoneStretch({out.data(), dw, dh, dw}, 0, 0, dw, dh, {pixels.data(), sw, sh, repeatRows ? 0 : sw}, 0, 0, sw, sh);
  FUZZ_CHECK(out.back() == marker);
  for (std::size_t i = 0; i + 1 < out.size(); ++i) {
    for (int c = 0; c < 4; ++c) FUZZ_CHECK((out[i] >> 8 * c & 255) >= low[c] && (out[i] >> 8 * c & 255) <= high[c]);
    if (sw == dw && sh == dh) FUZZ_CHECK(out[i] == pixels[repeatRows ? i % sw : i]);
  }
  return 0;
}
