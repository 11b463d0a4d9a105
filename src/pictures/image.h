#pragma once
// 32-bit pixels (B, G, R, A bytes in memory, as in a 32-bit DIB), held by the program itself.
// No Windows header here.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace pintaro {

struct ConstImageView {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // in pixels
  const std::uint32_t* Row(int y) const noexcept { return pixels + y * stride; }
};

struct ImageView {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // in pixels
  std::uint32_t* Row(int y) const noexcept { return pixels + y * stride; }
  operator ConstImageView() const noexcept { return {pixels, width, height, stride}; }
};

// Largest picture the program decodes: 2^28 pixels (1 GiB of 32-bit pixels) on 64-bit builds and
// 2^26 (256 MiB) on 32-bit ones, and no side longer than 2^20. Beyond that a picture is refused
// as unreadable rather than failing an allocation half-way.
inline constexpr std::uint64_t kMaxPicturePixels = sizeof(void*) >= 8 ? (1ull << 28) : (1ull << 26);
inline constexpr std::uint32_t kMaxPictureSide = 1u << 20;

constexpr bool FitsDecodeLimit(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

class Image32 {
 public:
  Image32() = default;
  // Allocates width x height pixels, or nothing when the size is out of bounds or memory is short.
  static std::optional<Image32> Allocate(int width, int height) noexcept;

  int width() const noexcept { return width_; }
  int height() const noexcept { return height_; }
  std::uint32_t* data() noexcept { return pixels_.data(); }
  const std::uint32_t* data() const noexcept { return pixels_.data(); }
  std::uint32_t& at(int x, int y) noexcept { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  std::uint32_t at(int x, int y) const noexcept { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  std::size_t byteSize() const noexcept { return pixels_.size() * sizeof(std::uint32_t); }

  ImageView view() noexcept { return {pixels_.data(), width_, height_, width_}; }
  ConstImageView view() const noexcept { return {pixels_.data(), width_, height_, width_}; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace pintaro
