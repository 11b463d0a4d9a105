#include "picture_logic/bmp_file.h"

namespace pintaro {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 dots per inch

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFFu);
  Put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(const Image32& picture) {
  const auto width = static_cast<std::uint32_t>(picture.width());
  const auto height = static_cast<std::uint32_t>(picture.height());
  const std::uint32_t rowSize = (width * 3 + 3) & ~3u;
  const std::uint32_t pixelBytes = rowSize * height;
  std::vector<std::uint8_t> out;
  out.reserve(kFileHeaderSize + kInfoHeaderSize + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, kFileHeaderSize + kInfoHeaderSize + pixelBytes);
  Put32(out, 0);
  Put32(out, kFileHeaderSize + kInfoHeaderSize);
  Put32(out, kInfoHeaderSize);
  Put32(out, width);
  Put32(out, height);  // positive: the bottom row comes first
  Put16(out, 1);       // planes
  Put16(out, 24);      // bits per pixel
  Put32(out, 0);       // no compression
  Put32(out, pixelBytes);
  Put32(out, kPixelsPerMetre);
  Put32(out, kPixelsPerMetre);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = picture.height() - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width(); ++x) {
      const std::uint32_t bgra = picture.at(x, y);
      out.push_back(static_cast<std::uint8_t>(bgra));
      out.push_back(static_cast<std::uint8_t>(bgra >> 8));
      out.push_back(static_cast<std::uint8_t>(bgra >> 16));
    }
    out.resize(out.size() + (rowSize - width * 3), 0);
  }
  return out;
}

}  // namespace pintaro
