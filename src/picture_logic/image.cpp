#include "picture_logic/image.h"

#include <algorithm>
#include <new>

namespace pintaro {

namespace {
bool AllocatableSize(int width, int height) noexcept {
  return width > 0 && height > 0 &&
         FitsDecodeLimit(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
}
}  // namespace

PixelBufferPool::~PixelBufferPool() {
  for (const Kept& kept : kept_) Release(kept.count);
}

std::unique_ptr<std::uint32_t[]> PixelBufferPool::Take(std::size_t count) {
  {
    const std::lock_guard lock(mutex_);
    const auto same = std::find_if(kept_.begin(), kept_.end(), [count](const Kept& k) { return k.count == count; });
    if (same != kept_.end()) {
      auto pixels = std::move(same->pixels);
      kept_.erase(same);
      return pixels;  // with the room it holds
    }
  }
  if (budget_) budget_->Take(count * sizeof(std::uint32_t), mustNotWait_);
  try {
    return std::make_unique_for_overwrite<std::uint32_t[]>(count);
  } catch (...) {
    Release(count);
    throw;
  }
}

void PixelBufferPool::GiveBack(std::unique_ptr<std::uint32_t[]> pixels, std::size_t count) noexcept {
  const std::lock_guard lock(mutex_);
  if (keep_ == 0) return Release(count);
  if (kept_.size() == keep_) {  // the oldest goes first
    Release(kept_.front().count);
    kept_.erase(kept_.begin());
  }
  kept_.push_back({std::move(pixels), count});  // cannot throw: the room is reserved
}

BudgetRoom PixelBufferPool::Reserve(std::uint64_t bytes) {
  if (!budget_) return {};
  budget_->Take(bytes, mustNotWait_);
  return {budget_, bytes};
}

void PixelBufferPool::Release(std::size_t count) noexcept {
  if (budget_) budget_->GiveBack(count * sizeof(std::uint32_t));
}

void GiveBackToPool::operator()(std::uint32_t* pixels) const noexcept {
  std::unique_ptr<std::uint32_t[]> owned(pixels);
  if (pool) pool->GiveBack(std::move(owned), count);
}

std::optional<Image32> Image32::Allocate(int width, int height) noexcept {
  if (!AllocatableSize(width, height)) return std::nullopt;
  try {
    Image32 image;
    image.width_ = width;
    image.height_ = height;
    image.pixels_.reset(std::make_unique<std::uint32_t[]>(image.Count()).release());
    return image;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<Image32> Image32::AllocateFrom(const std::shared_ptr<PixelBufferPool>& pool, int width,
                                             int height) noexcept {
  if (!AllocatableSize(width, height)) return std::nullopt;
  try {
    Image32 image;
    image.width_ = width;
    image.height_ = height;
    image.pixels_ = decltype(image.pixels_)(pool->Take(image.Count()).release(), GiveBackToPool{pool, image.Count()});
    return image;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace pintaro
