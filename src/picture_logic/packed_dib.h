#pragma once
// The layout of a packed device-independent bitmap, as the clipboard's CF_DIB holds one: a bitmap
// header, its colour masks and colour table, then its pixels. No Windows header here: built, tested
// and fuzzed natively.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "picture_logic/fit.h"
#include "picture_logic/image.h"

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

// The largest picture copied to the clipboard at its own size: 2^26 pixels (8192 x 8192), a block of
// 192 MiB, as large as the largest picture the 32-bit program holds. Until a program pastes it, a copy
// lives several times over: the program's decoded pixels (4 bytes a pixel) beside the block it fills (3),
// the system's own copy of the block (3), and, in each program that pastes it as a bitmap, the block and
// the bitmap the system makes from it (4). At 2^28 pixels that is 3.5 GiB, and a 32-bit program, which
// sees 2 GiB, could not paste it; at 2^26, 0.9 GiB, and 448 MiB in a 32-bit program that pastes it. The
// system also copies the block in one piece while the clipboard is open (Wine in its server, holding up
// every program of the session meanwhile), longer the larger the block.
inline constexpr std::uint64_t kMaxCopiedPixels = 1ull << 26;

constexpr bool FitsClipboardCopy(Size picture) {
  return FitsDecodeLimit(static_cast<std::uint64_t>(picture.width), static_cast<std::uint64_t>(picture.height)) &&
         std::uint64_t{static_cast<std::uint32_t>(picture.width)} * static_cast<std::uint32_t>(picture.height) <=
             kMaxCopiedPixels;
}

// The picture as the packed bitmap the clipboard's CF_DIB holds: a 40-byte header, then 24-bit rows,
// the bottom row first, each padded to 4 bytes with zeros.
std::size_t PackedDib24Size(int width, int height) noexcept;
// Writes it into out, which holds PackedDib24Size bytes.
void WritePackedDib24(const Image32& picture, std::uint8_t* out) noexcept;

}  // namespace pintaro
