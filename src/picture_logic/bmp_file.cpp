#include "picture_logic/bmp_file.h"

#include <utility>

#include "picture_logic/packed_dib.h"

namespace pintaro {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 dots per inch

// Writes little-endian values into a buffer sized beforehand.
class ByteWriter {
 public:
  explicit ByteWriter(std::uint8_t* at) : at_(at) {}
  void Put8(std::uint32_t value) { *at_++ = static_cast<std::uint8_t>(value); }
  void Put16(std::uint32_t value) {
    Put8(value);
    Put8(value >> 8);
  }
  void Put32(std::uint32_t value) {
    Put16(value & 0xFFFFu);
    Put16(value >> 16);
  }

 private:
  std::uint8_t* at_;
};

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at) noexcept {
  return bytes[at] | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
         std::uint32_t{bytes[at + 3]} << 24;
}

}  // namespace

bool IsEncodedBmp24(std::span<const std::uint8_t> start, std::uint64_t fileSize) noexcept {
  if (start.size() < kBmp24HeadersSize || start[0] != 'B' || start[1] != 'M') return false;
  const auto width = static_cast<std::int32_t>(Read32(start, 18));
  const auto height = static_cast<std::int32_t>(Read32(start, 22));
  if (width <= 0 || height <= 0) return false;
  const std::uint64_t pixelBytes = ((std::uint64_t{3} * static_cast<std::uint32_t>(width) + 3) & ~std::uint64_t{3}) *
                                   static_cast<std::uint32_t>(height);
  const std::uint64_t size = kFileHeaderSize + kInfoHeaderSize + pixelBytes;
  // Each field at its offset, as EncodeBmp24 writes it; planes and bits per pixel share one.
  const std::pair<std::size_t, std::uint64_t> fields[] = {{2, size},
                                                          {6, 0},
                                                          {10, kFileHeaderSize + kInfoHeaderSize},
                                                          {14, kInfoHeaderSize},
                                                          {26, 1 | 24u << 16},
                                                          {30, 0},
                                                          {34, pixelBytes},
                                                          {38, kPixelsPerMetre},
                                                          {42, kPixelsPerMetre},
                                                          {46, 0},
                                                          {50, 0}};
  for (const auto& [at, value] : fields)
    if (Read32(start, at) != value) return false;
  return fileSize == size;
}

std::vector<std::uint8_t> EncodeBmp24(const Image32& picture) {
  // The file header, then the bitmap as the clipboard holds one.
  std::vector<std::uint8_t> out(kFileHeaderSize + PackedDib24Size(picture.width(), picture.height()));
  ByteWriter put(out.data());
  put.Put8('B');
  put.Put8('M');
  put.Put32(static_cast<std::uint32_t>(out.size()));
  put.Put32(0);
  put.Put32(kFileHeaderSize + kInfoHeaderSize);
  WritePackedDib24(picture, out.data() + kFileHeaderSize);
  return out;
}

}  // namespace pintaro
