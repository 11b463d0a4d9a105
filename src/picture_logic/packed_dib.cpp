#include "picture_logic/packed_dib.h"

#include <climits>

#include "picture_logic/image.h"

namespace pintaro {

namespace {

// Compression kinds, as wingdi.h numbers them.
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
// Header sizes: BITMAPINFOHEADER, its two extensions with masks, BITMAPV4HEADER and BITMAPV5HEADER.
constexpr std::uint32_t kInfoHeader = 40, kV5Header = 124;
// A V5 header's colour space that names a profile somewhere in the block ('MBED', 'LINK').
constexpr std::uint32_t kEmbeddedProfile = 0x4D424544, kLinkedProfile = 0x4C494E4B;

std::uint32_t U32(const std::uint8_t* at) noexcept {
  return at[0] | static_cast<std::uint32_t>(at[1]) << 8 | static_cast<std::uint32_t>(at[2]) << 16 |
         static_cast<std::uint32_t>(at[3]) << 24;
}
std::uint16_t U16(const std::uint8_t* at) noexcept { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }
std::int32_t I32(const std::uint8_t* at) noexcept { return static_cast<std::int32_t>(U32(at)); }

bool KnownHeaderSize(std::uint32_t size) noexcept {
  return size == kInfoHeader || size == 52 || size == 56 || size == 108 || size == kV5Header;
}

// Whether GDI draws pixels of this depth stored this way.
bool DrawableKind(std::uint32_t compression, std::uint16_t bitCount, std::int32_t height) noexcept {
  switch (compression) {
    case kRgb:
      return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
    case kRle8: return bitCount == 8 && height > 0;  // run-length pixels are stored bottom row first only
    case kRle4: return bitCount == 4 && height > 0;
    case kBitFields: return bitCount == 16 || bitCount == 32;
    default: return false;
  }
}

// Entries of the colour table; nothing when the header asks for more than its depth can use.
std::optional<std::uint64_t> ColourCount(std::uint16_t bitCount, std::uint32_t used) noexcept {
  if (bitCount > 8) return used;  // an optional table for display on palette screens
  const std::uint64_t full = std::uint64_t{1} << bitCount;
  if (used > full) return std::nullopt;
  return used == 0 ? full : used;
}

bool ProfileInside(const std::uint8_t* block, std::uint64_t size, std::uint32_t headerSize) noexcept {
  if (headerSize < kV5Header) return true;
  const std::uint32_t space = U32(block + 56);
  if (space != kEmbeddedProfile && space != kLinkedProfile) return true;
  return std::uint64_t{U32(block + 112)} + U32(block + 116) <= size;
}

}  // namespace

std::optional<PackedDibLayout> CheckPackedDib(const std::uint8_t* block, std::size_t blockSize) noexcept {
  const std::uint64_t size = blockSize;
  if (!block || size < kInfoHeader) return std::nullopt;
  const std::uint32_t headerSize = U32(block);
  const std::int32_t width = I32(block + 4), height = I32(block + 8);
  const std::uint16_t planes = U16(block + 12), bitCount = U16(block + 14);
  const std::uint32_t compression = U32(block + 16), imageSize = U32(block + 20), used = U32(block + 32);
  if (!KnownHeaderSize(headerSize) || headerSize > size || planes != 1) return std::nullopt;
  if (width <= 0 || height == 0 || height == INT_MIN || !DrawableKind(compression, bitCount, height)) {
    return std::nullopt;
  }
  const std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
  if (!FitsDecodeLimit(static_cast<std::uint64_t>(width), rows)) return std::nullopt;
  const std::optional<std::uint64_t> colours = ColourCount(bitCount, used);
  if (!colours || !ProfileInside(block, size, headerSize)) return std::nullopt;

  // A plain header with bit fields is followed by its three masks; later headers hold them.
  const std::uint64_t masks = compression == kBitFields && headerSize == kInfoHeader ? 12 : 0;
  PackedDibLayout layout{width, height, headerSize + masks + *colours * 4, 0};
  if (compression == kRle8 || compression == kRle4) {
    // Runs end where the header says. Every pixel of a real run-length bitmap is in a run, and a run
    // of two bytes holds at most 255 pixels: data that cannot cover the pixels the header claims
    // (a few bytes for 2^28 pixels) is no picture, however large the header says it is.
    layout.pixelBytes = imageSize;
    if (imageSize < (static_cast<std::uint64_t>(width) * rows + 254) / 255 * 2) return std::nullopt;
  } else {
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    layout.pixelBytes = stride * rows;
  }
  if (layout.pixelOffset > size || layout.pixelBytes > size - layout.pixelOffset) return std::nullopt;
  return layout;
}

namespace {

constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 dots per inch

std::size_t RowBytes24(int width) noexcept { return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}; }

std::uint8_t* Put32(std::uint8_t* at, std::uint32_t value) noexcept {
  for (int i = 0; i < 4; ++i) *at++ = static_cast<std::uint8_t>(value >> (8 * i));
  return at;
}

}  // namespace

std::size_t PackedDib24Size(int width, int height) noexcept {
  return kInfoHeader + RowBytes24(width) * static_cast<std::size_t>(height);
}

void WritePackedDib24(const Image32& picture, std::uint8_t* out) noexcept {
  const std::size_t rowBytes = RowBytes24(picture.width());
  const auto pixelBytes = static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(picture.height()));
  // Size, width, height (positive: the bottom row first), 1 plane and 24 bits, no compression, the
  // pixels' bytes, the resolution, and no colour table.
  const std::uint32_t header[] = {kInfoHeader,
                                  static_cast<std::uint32_t>(picture.width()),
                                  static_cast<std::uint32_t>(picture.height()),
                                  1 | 24u << 16,
                                  kRgb,
                                  pixelBytes,
                                  kPixelsPerMetre,
                                  kPixelsPerMetre,
                                  0,
                                  0};
  for (const std::uint32_t value : header) out = Put32(out, value);
  for (int y = picture.height() - 1; y >= 0; --y) {
    const std::uint32_t* row = picture.data() + static_cast<std::size_t>(y) * picture.width();
    std::uint8_t* const end = out + rowBytes;
    for (int x = 0; x < picture.width(); ++x) {
      *out++ = static_cast<std::uint8_t>(row[x]);
      *out++ = static_cast<std::uint8_t>(row[x] >> 8);
      *out++ = static_cast<std::uint8_t>(row[x] >> 16);
    }
    while (out != end) *out++ = 0;
  }
}

}  // namespace pintaro
