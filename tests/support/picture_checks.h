#pragma once
// Reading back what a picture window shows.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace pintaro::test {

// The pixels of a bitmap as 32-bit B, G, R, X values, top row first.
std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, SIZE& size);

inline int Red(std::uint32_t px) { return static_cast<int>((px >> 16) & 0xFF); }
inline int Green(std::uint32_t px) { return static_cast<int>((px >> 8) & 0xFF); }

}  // namespace pintaro::test
