// The halftone resampler with pictures from 1 pixel to the 2^20 side limit and any rectangles. A
// source larger than 2^16 pixels repeats one row (a view with stride 0), so only its width costs
// memory; calls whose work would exceed kWorkLimit source-pixel visits are skipped.
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
constexpr int kGuard = 2;  // pixels of the destination buffer around the destination picture

// From 1 to 2^20, small sides as often as large ones.
int Side(FuzzedDataProvider& in) { return in.ConsumeIntegralInRange<int>(1, 1 << in.ConsumeIntegralInRange(0, 20)); }

int Place(FuzzedDataProvider& in, int extent) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return in.ConsumeIntegral<int>();
    case 1: return in.ConsumeIntegralInRange(-extent, extent);
    case 2: return extent;
    default: return 0;
  }
}

int Length(FuzzedDataProvider& in, int extent) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return in.ConsumeIntegral<int>();
    case 1: return Side(in);
    case 2: return in.ConsumeIntegralInRange(-1, 2 * extent);
    default: return extent;
  }
}

// The pixels [from, to) of one axis that a rectangle covers inside a picture.
struct Span {
  std::int64_t from = 0;
  std::int64_t to = 0;
  std::int64_t count() const { return std::max<std::int64_t>(to - from, 0); }
};

Span Inside(int start, int length, int limit) {
  return {std::max<std::int64_t>(start, 0), std::min<std::int64_t>(std::int64_t{start} + length, limit)};
}

// Source pixels read for `shown` of `d` destination pixels made from `s` source pixels: each source
// row once per destination row, each source column once per row.
std::int64_t Work(std::int64_t shownColumns, std::int64_t dw, std::int64_t sw, std::int64_t shownRows, std::int64_t dh,
                  std::int64_t sh) {
  return std::min(sw, shownColumns * (sw / dw + 2)) * shownRows * (sh / dh + 2);
}

struct Call {
  int dx, dy, dw, dh, sx, sy, sw, sh;
};

struct Channels {
  std::array<std::uint32_t, 4> low{255, 255, 255, 255};
  std::array<std::uint32_t, 4> high{};
  void Add(std::uint32_t pixel) {
    for (int c = 0; c < 4; ++c) {
      low[c] = std::min(low[c], pixel >> (8 * c) & 255);
      high[c] = std::max(high[c], pixel >> (8 * c) & 255);
    }
  }
  std::uint32_t Lowest() const { return low[0] | low[1] << 8 | low[2] << 16 | low[3] << 24; }
  bool Hold(std::uint32_t pixel) const {
    for (int c = 0; c < 4; ++c) {
      if ((pixel >> (8 * c) & 255) < low[c] || (pixel >> (8 * c) & 255) > high[c]) return false;
    }
    return true;
  }
};

struct Source {
  std::vector<std::uint32_t> pixels;
  ConstImageView view;
};

Source MakeSource(FuzzedDataProvider& in, int width, int height) {
  const bool repeatRows = std::int64_t{width} * height > (1 << 16);
  Source source;
  source.pixels.resize(static_cast<std::size_t>(width) * (repeatRows ? 1 : height));
  const bool uniform = in.ConsumeBool();
  std::uint32_t seed = in.ConsumeIntegral<std::uint32_t>() | 1;
  for (std::uint32_t& pixel : source.pixels) {
    pixel = seed;
    if (!uniform) seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
  }
  const bool bottomUp = !repeatRows && in.ConsumeBool();
  const std::uint32_t* first = source.pixels.data() + (bottomUp ? source.pixels.size() - width : 0);
  source.view = {first, width, height, repeatRows ? 0 : (bottomUp ? -width : width)};
  return source;
}

// The range of each byte over the source rectangle cut to the source picture.
Channels SourceRange(ConstImageView src, Span columns, Span rows) {
  Channels range;
  const std::int64_t distinctRows = src.stride == 0 ? std::min<std::int64_t>(rows.count(), 1) : rows.count();
  for (std::int64_t y = rows.from; y < rows.from + distinctRows; ++y) {
    for (std::int64_t x = columns.from; x < columns.to; ++x) range.Add(src.Row(static_cast<int>(y))[x]);
  }
  return range;
}

void CheckStretch(ConstImageView src, int dstWidth, int dstHeight, const Call& c) {
  const Span sourceColumns = Inside(c.sx, c.sw, src.width);
  const Span sourceRows = Inside(c.sy, c.sh, src.height);
  const Span columns = Inside(c.dx, c.dw, dstWidth);
  const Span rows = Inside(c.dy, c.dh, dstHeight);
  const bool writes = c.dw > 0 && c.dh > 0 && c.sw > 0 && c.sh > 0 && sourceColumns.count() > 0 &&
                      sourceRows.count() > 0 && columns.count() > 0 && rows.count() > 0;
  if (writes &&
      Work(columns.count(), c.dw, sourceColumns.count(), rows.count(), c.dh, sourceRows.count()) > kWorkLimit) {
    return;
  }
  const Channels range = SourceRange(src, sourceColumns, sourceRows);
  const bool uniform = range.low == range.high;
  // Untouched pixels keep a marker; for a one-coloured source the marker differs from every result.
  const std::uint32_t marker = uniform ? ~range.Lowest() : 0xD1CE5EEDu;
  const int stride = dstWidth + 2 * kGuard;
  std::vector<std::uint32_t> buffer(static_cast<std::size_t>(stride) * (dstHeight + 2 * kGuard), marker);
  const ImageView dst{buffer.data() + kGuard * stride + kGuard, dstWidth, dstHeight, stride};
  HalftoneStretch(dst, c.dx, c.dy, c.dw, c.dh, src, c.sx, c.sy, c.sw, c.sh);

  // The same call drawn whole, when small: cutting the destination changes no pixel.
  std::vector<std::uint32_t> whole;
  const bool compareWhole = writes && c.dw <= 256 && c.dh <= 256 &&
                            Work(c.dw, c.dw, sourceColumns.count(), c.dh, c.dh, sourceRows.count()) <= kWorkLimit;
  if (compareWhole) {
    whole.resize(static_cast<std::size_t>(c.dw) * c.dh);
    HalftoneStretch({whole.data(), c.dw, c.dh, c.dw}, 0, 0, c.dw, c.dh, src, c.sx, c.sy, c.sw, c.sh);
  }
  const bool copies = c.sw == c.dw && c.sh == c.dh && c.sx >= 0 && c.sy >= 0 &&
                      std::int64_t{c.sx} + c.sw <= src.width && std::int64_t{c.sy} + c.sh <= src.height;
  for (int y = -kGuard; y < dstHeight + kGuard; ++y) {
    for (int x = -kGuard; x < dstWidth + kGuard; ++x) {
      const std::uint32_t pixel = dst.Row(y)[x];
      const bool written = writes && x >= columns.from && x < columns.to && y >= rows.from && y < rows.to;
      if (!written) {
        FUZZ_CHECK(pixel == marker);
        continue;
      }
      FUZZ_CHECK(range.Hold(pixel));
      const std::int64_t wx = x - std::int64_t{c.dx};
      const std::int64_t wy = y - std::int64_t{c.dy};
      if (compareWhole) FUZZ_CHECK(pixel == whole[wy * c.dw + wx]);
      if (copies) FUZZ_CHECK(pixel == src.Row(static_cast<int>(c.sy + wy))[c.sx + wx]);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int srcWidth = Side(in);
  const int srcHeight = Side(in);
  const int dstWidth = in.ConsumeIntegralInRange(1, 48);
  const int dstHeight = in.ConsumeIntegralInRange(1, 48);
  Call call{};
  call.dx = Place(in, dstWidth);
  call.dy = Place(in, dstHeight);
  call.dw = Length(in, dstWidth);
  call.dh = Length(in, dstHeight);
  call.sx = Place(in, srcWidth);
  call.sy = Place(in, srcHeight);
  call.sw = Length(in, srcWidth);
  call.sh = Length(in, srcHeight);
  const Source source = MakeSource(in, srcWidth, srcHeight);
  CheckStretch(source.view, dstWidth, dstHeight, call);
  return 0;
}
