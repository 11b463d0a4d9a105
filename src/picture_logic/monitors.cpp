#include "picture_logic/monitors.h"

#include <algorithm>
#include <cstdint>

namespace pintaro {

namespace {

// How far apart two ranges are along one axis; 0 when they overlap or touch.
std::int64_t Gap(int start, int end, int otherStart, int otherEnd) noexcept {
  return std::max<std::int64_t>({0, std::int64_t{otherStart} - end, std::int64_t{start} - otherEnd});
}

int Onto(int start, int end, int monitorStart, int monitorEnd) noexcept {
  if (end - start >= monitorEnd - monitorStart || start < monitorStart) return monitorStart;
  return end > monitorEnd ? monitorEnd - (end - start) : start;
}

}  // namespace

bool LiesOnAMonitor(const ScreenRect& rect, std::span<const ScreenRect> monitors) noexcept {
  return std::ranges::any_of(monitors, [&](const ScreenRect& m) {
    return rect.left < m.right && m.left < rect.right && rect.top < m.bottom && m.top < rect.bottom;
  });
}

const ScreenRect* NearestMonitor(const ScreenRect& rect, std::span<const ScreenRect> monitors) noexcept {
  const ScreenRect* nearest = nullptr;
  std::int64_t least = 0;
  for (const ScreenRect& m : monitors) {
    const std::int64_t dx = Gap(rect.left, rect.right, m.left, m.right);
    const std::int64_t dy = Gap(rect.top, rect.bottom, m.top, m.bottom);
    if (!nearest || dx * dx + dy * dy < least) nearest = &m, least = dx * dx + dy * dy;
  }
  return nearest;
}

Point MovedOnto(const ScreenRect& rect, const ScreenRect& monitor) noexcept {
  return {Onto(rect.left, rect.right, monitor.left, monitor.right),
          Onto(rect.top, rect.bottom, monitor.top, monitor.bottom)};
}

Point PlaceOnAMonitor(const ScreenRect& rect, std::span<const ScreenRect> monitors) noexcept {
  const ScreenRect* nearest = LiesOnAMonitor(rect, monitors) ? nullptr : NearestMonitor(rect, monitors);
  return nearest ? MovedOnto(rect, *nearest) : Point{rect.left, rect.top};
}

}  // namespace pintaro
