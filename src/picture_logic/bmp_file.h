#pragma once
// Pictures written as Windows bitmap (BMP) files. No Windows header here.
#include <cstdint>
#include <vector>

#include "picture_logic/image.h"

namespace pintaro {

// The whole file: a 24-bit, bottom-up, uncompressed bitmap of the picture's colours.
std::vector<std::uint8_t> EncodeBmp24(const Image32& picture);

}  // namespace pintaro
