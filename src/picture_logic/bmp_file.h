#pragma once
// Pictures written as Windows bitmap (BMP) files. No Windows header here.
#include <cstdint>
#include <span>
#include <vector>

#include "picture_logic/image.h"

namespace pintaro {

// The whole file: a 24-bit, bottom-up, uncompressed bitmap of the picture's colours.
std::vector<std::uint8_t> EncodeBmp24(const Image32& picture);

// The length of the headers that start such a file.
inline constexpr std::size_t kBmp24HeadersSize = 54;
// Whether a file of the size, starting with the bytes, is one that EncodeBmp24 writes: every field of its
// headers as written there, for a picture of at least one pixel, and the file exactly as long as they say.
// Only the headers are read; fewer bytes than they take are no such file.
bool IsEncodedBmp24(std::span<const std::uint8_t> start, std::uint64_t fileSize) noexcept;

}  // namespace pintaro
