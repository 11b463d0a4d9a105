#pragma once
// 32-bit pixels (B, G, R, A bytes in memory, as in a 32-bit DIB), held by the program itself.
// No Windows header here.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "picture_logic/memory_budget.h"

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

// Pixel buffers given back by the pictures of an operation that reads many, kept for its next
// pictures of the same size: a fresh buffer costs a page fault for every 4 KB first written, some
// 8 % of the reading of a photo. Shared by threads. With a budget, every buffer it hands out or keeps
// holds room in the budget, and other large blocks of the same reads take theirs through it too.
class PixelBufferPool {
 public:
  // Keeps at most `keep` buffers that no picture uses. mustNotWait tells when the budget is not to be
  // waited for (see MemoryBudget::Take).
  explicit PixelBufferPool(std::size_t keep, MemoryBudget* budget = nullptr, std::function<bool()> mustNotWait = {})
      : keep_(keep), budget_(budget), mustNotWait_(std::move(mustNotWait)) {
    kept_.reserve(keep);
  }
  ~PixelBufferPool();
  PixelBufferPool(const PixelBufferPool&) = delete;
  PixelBufferPool& operator=(const PixelBufferPool&) = delete;

  std::unique_ptr<std::uint32_t[]> Take(std::size_t count);  // of undefined pixels
  void GiveBack(std::unique_ptr<std::uint32_t[]> pixels, std::size_t count) noexcept;
  // Room for another large block, such as a file's bytes; none without a budget.
  BudgetRoom Reserve(std::uint64_t bytes);

 private:
  struct Kept {
    std::unique_ptr<std::uint32_t[]> pixels;
    std::size_t count;
  };
  void Release(std::size_t count) noexcept;

  const std::size_t keep_;
  MemoryBudget* const budget_;
  const std::function<bool()> mustNotWait_;
  std::mutex mutex_;
  std::vector<Kept> kept_;
};

// Frees a picture's pixels, or gives them back to the pool they came from.
struct GiveBackToPool {
  std::shared_ptr<PixelBufferPool> pool;
  std::size_t count = 0;
  void operator()(std::uint32_t* pixels) const noexcept;
};

class Image32 {
 public:
  Image32() = default;
  // Allocates width x height pixels, or nothing when the size is out of bounds or memory is short.
  static std::optional<Image32> Allocate(int width, int height) noexcept;
  // As Allocate, with pixels of undefined value that come from pool and go back to it.
  static std::optional<Image32> AllocateFrom(const std::shared_ptr<PixelBufferPool>& pool, int width,
                                             int height) noexcept;

  int width() const noexcept { return width_; }
  int height() const noexcept { return height_; }
  std::uint32_t* data() noexcept { return pixels_.get(); }
  const std::uint32_t* data() const noexcept { return pixels_.get(); }
  std::uint32_t& at(int x, int y) noexcept { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  std::uint32_t at(int x, int y) const noexcept { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  std::size_t byteSize() const noexcept { return Count() * sizeof(std::uint32_t); }

  ImageView view() noexcept { return {pixels_.get(), width_, height_, width_}; }
  ConstImageView view() const noexcept { return {pixels_.get(), width_, height_, width_}; }

 private:
  std::size_t Count() const noexcept { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }

  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<std::uint32_t[], GiveBackToPool> pixels_;
};

}  // namespace pintaro
