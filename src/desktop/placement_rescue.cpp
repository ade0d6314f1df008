#include "desktop/placement_rescue.h"

#include <algorithm>
#include <vector>

namespace vesk::desktop {
namespace {

// 64-bit arithmetic throughout: stored positions may be anywhere in the
// 32-bit range, and so may their sums.
std::int64_t OverlapLength(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) noexcept {
  return std::max<std::int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

}  // namespace

bool IsReachable(const TRect& window, std::span<const TRect> monitors) noexcept {
  const std::int64_t width = std::int64_t{window.Right} - window.Left;
  const std::int64_t height = std::int64_t{window.Bottom} - window.Top;
  const std::int64_t need_x = std::clamp<std::int64_t>(width, 1, kReachablePart);
  const std::int64_t need_y = std::clamp<std::int64_t>(height, 1, kReachablePart);
  for (const TRect& monitor : monitors) {
    if (OverlapLength(window.Left, window.Right, monitor.Left, monitor.Right) >= need_x &&
        OverlapLength(window.Top, window.Bottom, monitor.Top, monitor.Bottom) >= need_y) {
      return true;
    }
  }
  return false;
}

TPoint PositionInside(const TRect& window, const TRect& work_area) noexcept {
  auto place = [](std::int64_t start, std::int64_t size, std::int64_t area0, std::int64_t area1) {
    const std::int64_t last = std::max(area0, area1 - size);  // the area's start when the window is larger
    return static_cast<std::int32_t>(std::clamp(start, area0, last));
  };
  const std::int64_t width = std::max<std::int64_t>(0, std::int64_t{window.Right} - window.Left);
  const std::int64_t height = std::max<std::int64_t>(0, std::int64_t{window.Bottom} - window.Top);
  return TPoint{place(window.Left, width, work_area.Left, work_area.Right),
                         place(window.Top, height, work_area.Top, work_area.Bottom)};
}

std::optional<TPoint> RescuePosition(const IPlacementWindow& window) {
  const auto clamp32 = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
  };
  const TRect bounds{window.Left(), window.Top(), clamp32(std::int64_t{window.Left()} + window.Width()),
                              clamp32(std::int64_t{window.Top()} + window.Height())};
  const std::vector<TRect> monitors = window.MonitorRects();
  if (monitors.empty() || IsReachable(bounds, monitors)) return std::nullopt;
  const TPoint target = PositionInside(bounds, window.NearestWorkArea(bounds));
  if (target == TPoint{bounds.Left, bounds.Top}) return std::nullopt;
  return target;
}

}  // namespace vesk::desktop
