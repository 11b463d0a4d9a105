#include "picture_logic/packed_dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace pintaro {
namespace {

struct Header {
  std::uint32_t size = 40;
  std::int32_t width = 3, height = 2;
  std::uint16_t planes = 1, bitCount = 8;
  std::uint32_t compression = 0, imageSize = 0, used = 0;
};

// The header at the start of a block of the size given; the rest of the block is zeros.
std::vector<std::uint8_t> Block(const Header& h, std::size_t size) {
  std::vector<std::uint8_t> block(size);
  const auto put = [&](std::size_t at, auto value) {
    if (at + sizeof(value) <= size) std::memcpy(&block[at], &value, sizeof(value));
  };
  put(0, h.size), put(4, h.width), put(8, h.height), put(12, h.planes), put(14, h.bitCount);
  put(16, h.compression), put(20, h.imageSize), put(32, h.used);
  return block;
}

TEST(PackedDib, EveryPartTheHeaderNamesMustLieInsideTheBlockAndOnlyKindsGdiDrawsPass) {
  // Header, block size, and where the pixels start and how many bytes they take, or 0, 0 for a refusal.
  const std::tuple<const char*, Header, std::size_t, std::uint64_t, std::uint64_t> rows[] = {
      {"8 bits, full table", {}, 40 + 1024 + 8, 1064, 8},
      {"one byte short", {}, 40 + 1024 + 7, 0, 0},
      {"more colours than 8 bits hold", {.used = 257}, 4096, 0, 0},
      {"a table of 2^32 - 1 entries", {.bitCount = 24, .used = 0xFFFFFFFF}, 4096, 0, 0},
      {"32 bits, top row first", {.width = 64, .height = -64, .bitCount = 32}, 40 + 16384, 40, 16384},
      {"bit fields after a plain header", {.bitCount = 32, .compression = 3}, 52 + 24, 52, 24},
      {"run lengths", {.compression = 1, .imageSize = 10}, 1064 + 10, 1064, 10},
      {"runs enough for 510 pixels", {.width = 510, .height = 1, .compression = 1, .imageSize = 4}, 1068, 1064, 4},
      {"runs too few for 510 pixels", {.width = 510, .height = 1, .compression = 1, .imageSize = 3}, 1068, 0, 0},
      {"JPEG inside", {.bitCount = 0, .compression = 4, .imageSize = 10}, 4096, 0, 0},
      {"wider than 2^20", {.width = (1 << 20) + 1, .height = 1, .bitCount = 1}, 1 << 18, 0, 0},
  };
  for (const auto& [what, header, size, offset, bytes] : rows) {
    const std::vector<std::uint8_t> block = Block(header, size);
    const std::optional<PackedDibLayout> layout = CheckPackedDib(block.data(), block.size());
    using Place = std::pair<std::uint64_t, std::uint64_t>;
    const Place found = layout ? Place{layout->pixelOffset, layout->pixelBytes} : Place{};
    EXPECT_EQ(found, (Place{offset, bytes})) << what;
  }
}

}  // namespace
}  // namespace pintaro
