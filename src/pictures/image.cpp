#include "pictures/image.h"

#include <new>

namespace pintaro {

std::optional<Image32> Image32::Allocate(int width, int height) noexcept {
  if (width <= 0 || height <= 0 ||
      !FitsDecodeLimit(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height))) {
    return std::nullopt;
  }
  try {
    Image32 image;
    image.pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    image.width_ = width;
    image.height_ = height;
    return image;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace pintaro
