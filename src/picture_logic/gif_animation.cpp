#include "picture_logic/gif_animation.h"

#include <algorithm>
#include <cstring>

namespace pintaro {

Disposal DisposalOf(unsigned method) noexcept {
  switch (method) {
    case 1: return Disposal::Keep;
    case 2: return Disposal::Background;
    case 3: return Disposal::Previous;
    default: return Disposal::None;
  }
}

Size LogicalScreen(unsigned width, unsigned height, const FrameRect& first) noexcept {
  if (width > 0 && height > 0) return {static_cast<int>(width), static_cast<int>(height)};
  return {std::max(1, first.left + first.width), std::max(1, first.top + first.height)};
}

int ShownDelayMs(unsigned delayCentiseconds) noexcept {
  const unsigned ms = std::min(delayCentiseconds, 0xFFFFu) * 10;
  return ms < 20 ? 100 : static_cast<int>(ms);
}

int PlaysOf(std::optional<unsigned> loopCount) noexcept {
  if (!loopCount) return 1;
  return *loopCount == 0 ? kPlaysForever : static_cast<int>(std::min(*loopCount, 0xFFFFu)) + 1;
}

std::optional<unsigned> LoopCountOf(std::span<const std::uint8_t> application, std::span<const std::uint8_t> data) {
  constexpr std::string_view kNetscape = "NETSCAPE2.0", kAnimExts = "ANIMEXTS1.0";
  const std::string_view id(reinterpret_cast<const char*>(application.data()), application.size());
  if (id != kNetscape && id != kAnimExts) return std::nullopt;
  if (data.size() < 4 || data[0] < 3 || data[1] != 1) return std::nullopt;
  return data[2] | static_cast<unsigned>(data[3]) << 8;
}

std::optional<GifCompositor> GifCompositor::Make(Size screen) noexcept {
  std::optional<Image32> canvas = Image32::Allocate(screen.width, screen.height);
  if (!canvas) return std::nullopt;
  std::fill_n(canvas->data(), canvas->byteSize() / 4, 0u);
  return GifCompositor(std::move(*canvas));
}

GifCompositor::Clipped GifCompositor::Clip(const FrameRect& rect) const noexcept {
  const auto within = [](std::int64_t value, int limit) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, limit));
  };
  const int w = canvas_.width(), h = canvas_.height();
  return {within(rect.left, w), within(rect.top, h), within(std::int64_t{rect.left} + rect.width, w),
          within(std::int64_t{rect.top} + rect.height, h)};
}

void GifCompositor::DisposeOfLast() noexcept {
  if (!last_) return;
  const Clipped area = Clip(last_->rect);
  for (int y = area.top; last_->disposal == Disposal::Background && y < area.bottom; ++y)
    std::fill_n(&canvas_.at(area.left, y), area.right - area.left, 0u);
  for (int y = covered_.top; before_ && y < covered_.bottom; ++y)
    std::memcpy(&canvas_.at(covered_.left, y), &before_->at(0, y - covered_.top),
                static_cast<std::size_t>(covered_.right - covered_.left) * sizeof(std::uint32_t));
  last_.reset();
  before_.reset();
}

bool GifCompositor::Draw(const GifFrameInfo& frame, ConstImageView pixels) noexcept {
  DisposeOfLast();
  Clipped area = Clip(frame.rect);
  // A frame whose pixels are fewer than its rectangle says draws only those it has.
  area.right = static_cast<int>(std::min<std::int64_t>(area.right, std::int64_t{frame.rect.left} + pixels.width));
  area.bottom = static_cast<int>(std::min<std::int64_t>(area.bottom, std::int64_t{frame.rect.top} + pixels.height));
  const bool empty = area.right <= area.left || area.bottom <= area.top;
  if (frame.disposal == Disposal::Previous && !empty) {
    covered_ = area;
    before_ = Image32::Allocate(area.right - area.left, area.bottom - area.top);
    if (!before_) return false;
    for (int y = area.top; y < area.bottom; ++y)
      std::memcpy(&before_->at(0, y - area.top), &canvas_.at(area.left, y),
                  static_cast<std::size_t>(area.right - area.left) * sizeof(std::uint32_t));
  }
  for (int y = area.top; !empty && y < area.bottom; ++y) {
    const std::uint32_t* from = pixels.Row(y - frame.rect.top) + (area.left - frame.rect.left);
    std::uint32_t* to = &canvas_.at(area.left, y);
    for (int x = area.left; x < area.right; ++x, ++from, ++to)
      if (*from >> 24) *to = *from | 0xFF000000u;
  }
  last_ = frame;
  return true;
}

std::optional<Image32> GifCompositor::OnWhite() const noexcept {
  std::optional<Image32> opaque = Image32::Allocate(canvas_.width(), canvas_.height());
  if (!opaque) return std::nullopt;
  std::transform(canvas_.data(), canvas_.data() + canvas_.byteSize() / 4, opaque->data(),
                 [](std::uint32_t px) { return px >> 24 ? px : 0xFFFFFFFFu; });
  return opaque;
}

MemoryBudget& AnimationBudget() {
  static MemoryBudget budget(sizeof(void*) >= 8 ? std::uint64_t{256} << 20 : std::uint64_t{64} << 20);
  return budget;
}

}  // namespace pintaro
