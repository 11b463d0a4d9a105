#pragma once
// The layout of a packed device-independent bitmap, as the clipboard's CF_DIB holds one: a bitmap
// header, its colour masks and colour table, then its pixels. No Windows header here: built, tested
// and fuzzed natively.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace pintaro {

struct PackedDibLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative for a picture stored top row first
  std::uint64_t pixelOffset = 0;
  std::uint64_t pixelBytes = 0;
};

// The layout of the block when it is a bitmap GDI draws and every part its header names, pixels
// included, lies inside its size bytes; nothing otherwise. Nothing beyond the block is ever read,
// whatever the header claims, on 32-bit builds too.
std::optional<PackedDibLayout> CheckPackedDib(const std::uint8_t* block, std::size_t size) noexcept;

}  // namespace pintaro
