#include "picture_logic/halftone_stretch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

namespace pintaro {

namespace {

// The source pixels that make up one destination pixel along one axis, with integer weights.
struct Tap {
  int first = 0;
  int count = 0;
  int weightOffset = 0;
};

struct AxisTaps {
  std::vector<Tap> taps;
  std::vector<std::uint32_t> weights;
  std::uint32_t total = 1;  // every tap's weights add up to this
};

// The destination pixels [from, to) of one axis that lie inside the destination picture.
struct Visible {
  std::int64_t from = 0;
  std::int64_t to = 0;
  std::size_t count() const noexcept { return static_cast<std::size_t>(to - from); }
};

Visible VisiblePart(int start, int length, int limit) {
  const std::int64_t from = std::max<std::int64_t>(0, -std::int64_t{start});
  const std::int64_t to = std::min<std::int64_t>(length, std::int64_t{limit} - start);
  return {from, std::max(from, to)};
}

// Exact box filter: with both axes measured in units of 1/(s*d), source pixel k covers
// [k*d, (k+1)*d) and destination pixel i covers [i*s, (i+1)*s); the overlap is the weight.
AxisTaps AreaTaps(int s, int d, Visible visible) {
  AxisTaps axis;
  axis.total = static_cast<std::uint32_t>(s);
  axis.taps.reserve(visible.count());
  axis.weights.reserve(visible.count() * 2 + static_cast<std::size_t>(s));
  for (std::int64_t i = visible.from; i < visible.to; ++i) {
    const std::int64_t lo = i * s;
    const std::int64_t hi = (i + 1) * s;
    const auto first = static_cast<int>(lo / d);
    const auto last = static_cast<int>((hi - 1) / d);
    axis.taps.push_back({first, last - first + 1, static_cast<int>(axis.weights.size())});
    for (std::int64_t k = first; k <= last; ++k) {
      const std::int64_t overlap = std::min((k + 1) * d, hi) - std::max(k * d, lo);
      axis.weights.push_back(static_cast<std::uint32_t>(overlap));
    }
  }
  return axis;
}

// Linear interpolation between the two source pixels nearest to each destination pixel's centre.
AxisTaps LinearTaps(int s, int d, Visible visible) {
  constexpr std::uint32_t kTotal = 1u << 12;
  AxisTaps axis;
  axis.total = kTotal;
  axis.taps.reserve(visible.count());
  axis.weights.reserve(visible.count() * 2);
  for (std::int64_t i = visible.from; i < visible.to; ++i) {
    const double centre = std::max(0.0, (static_cast<double>(i) + 0.5) * s / d - 0.5);
    const int k0 = static_cast<int>(std::min(centre, static_cast<double>(s - 1)));
    const auto w1 = static_cast<std::uint32_t>(std::lround((centre - k0) * kTotal));
    const int offset = static_cast<int>(axis.weights.size());
    if (k0 >= s - 1 || w1 == 0) {
      axis.taps.push_back({k0, 1, offset});
      axis.weights.push_back(kTotal);
    } else {
      axis.taps.push_back({k0, 2, offset});
      axis.weights.push_back(kTotal - w1);
      axis.weights.push_back(w1);
    }
  }
  return axis;
}

// Taps for the visible destination pixels only; their first source pixel is counted from the first
// one any of them uses, which the function returns.
int TapsFor(int s, int d, Visible visible, AxisTaps& axis) {
  axis = d <= s ? AreaTaps(s, d, visible) : LinearTaps(s, d, visible);
  const int first = axis.taps.front().first;
  for (Tap& tap : axis.taps) tap.first -= first;
  return first;
}

// acc += weight * bytes, over n bytes.
void AccumulateRow(std::uint32_t* __restrict acc, const std::uint8_t* __restrict bytes, std::size_t n,
                   std::uint32_t weight) {
  for (std::size_t i = 0; i < n; ++i) acc[i] += weight * bytes[i];
}

// acc += bytes, over n bytes: rows that lie wholly inside a destination row all weigh the same.
void AddRow(std::uint32_t* __restrict acc, const std::uint8_t* __restrict bytes, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) acc[i] += bytes[i];
}

// acc += weight * run, over n values.
void AccumulateRun(std::uint32_t* __restrict acc, const std::uint32_t* __restrict run, std::size_t n,
                   std::uint32_t weight) {
  for (std::size_t i = 0; i < n; ++i) acc[i] += weight * run[i];
}

// Weighted sum of the source rows of one destination row, per byte.
void GatherRows(const std::uint32_t* weights, const std::uint8_t* const* rows, int count, std::uint32_t* acc,
                std::uint32_t* run, std::size_t rowBytes) {
  std::fill(acc, acc + rowBytes, 0u);
  int k = 0;
  while (k < count) {
    int end = k + 1;
    while (end < count && weights[end] == weights[k]) ++end;
    if (end - k == 1) {
      AccumulateRow(acc, rows[k], rowBytes, weights[k]);
    } else {
      // Rows wholly inside the destination row weigh the same: add them up, multiply once.
      std::fill(run, run + rowBytes, 0u);
      for (int r = k; r < end; ++r) AddRow(run, rows[r], rowBytes);
      AccumulateRun(acc, run, rowBytes, weights[k]);
    }
    k = end;
  }
}

inline std::uint32_t Channel(std::uint64_t sum, double scale) {
  return std::min(static_cast<std::uint32_t>(static_cast<double>(sum) * scale + 0.5), 255u);
}

}  // namespace

void HalftoneStretch(ImageView dst, int dx, int dy, int dw, int dh, ConstImageView src, int sx, int sy, int sw,
                     int sh) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !dst.pixels || !src.pixels) return;
  // Cut the source rectangle to the source picture.
  const int sx0 = std::max(sx, 0);
  const int sy0 = std::max(sy, 0);
  const auto sx1 = static_cast<int>(std::min<std::int64_t>(std::int64_t{sx} + sw, src.width));
  const auto sy1 = static_cast<int>(std::min<std::int64_t>(std::int64_t{sy} + sh, src.height));
  if (sx1 <= sx0 || sy1 <= sy0) return;
  // Only the destination pixels inside the destination picture are computed.
  const Visible columns = VisiblePart(dx, dw, dst.width);
  const Visible lines = VisiblePart(dy, dh, dst.height);
  if (columns.count() == 0 || lines.count() == 0) return;

  AxisTaps xt;
  AxisTaps yt;
  sx = sx0 + TapsFor(sx1 - sx0, dw, columns, xt);
  sy = sy0 + TapsFor(sy1 - sy0, dh, lines, yt);
  const double scale = 1.0 / (static_cast<double>(xt.total) * static_cast<double>(yt.total));
  const Tap& lastX = xt.taps.back();
  const std::size_t rowBytes = static_cast<std::size_t>(lastX.first + lastX.count) * 4;
  std::vector<std::uint32_t> acc(rowBytes);
  std::vector<std::uint32_t> run(rowBytes);
  std::vector<const std::uint8_t*> rows;

  for (std::size_t j = 0; j < lines.count(); ++j) {
    const Tap& tapY = yt.taps[j];
    rows.clear();
    for (int k = 0; k < tapY.count; ++k) {
      rows.push_back(reinterpret_cast<const std::uint8_t*>(src.Row(sy + tapY.first + k) + sx));
    }
    GatherRows(yt.weights.data() + tapY.weightOffset, rows.data(), tapY.count, acc.data(), run.data(), rowBytes);

    std::uint32_t* out =
        dst.Row(static_cast<int>(dy + lines.from + static_cast<std::int64_t>(j))) + (dx + columns.from);
    for (std::size_t i = 0; i < columns.count(); ++i) {
      const Tap& tapX = xt.taps[i];
      const std::uint32_t* w = xt.weights.data() + tapX.weightOffset;
      const std::uint32_t* a = acc.data() + static_cast<std::size_t>(tapX.first) * 4;
      std::uint64_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
      for (int k = 0; k < tapX.count; ++k, a += 4) {
        const std::uint64_t wk = w[k];
        s0 += wk * a[0];
        s1 += wk * a[1];
        s2 += wk * a[2];
        s3 += wk * a[3];
      }
      out[i] = Channel(s0, scale) | (Channel(s1, scale) << 8) | (Channel(s2, scale) << 16) | (Channel(s3, scale) << 24);
    }
  }
}

std::optional<Image32> ScalePicture(const Image32& source, int width, int height) {
  auto scaled = Image32::Allocate(width, height);
  if (!scaled) return std::nullopt;
  try {
    HalftoneStretch(scaled->view(), 0, 0, width, height, source.view(), 0, 0, source.width(), source.height());
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // no memory for its row buffers
  }
  return scaled;
}

}  // namespace pintaro
