#pragma once
// Keeping a restored window within reach. A stored position can lie wholly
// outside every monitor (a monitor was unplugged, a laptop left its dock, a
// value was edited by hand); a clock without a taskbar button would then be
// lost. A window counts as reachable when a part of it at least 32 x 32
// pixels (or its whole width or height, for a smaller window) lies on one
// monitor; otherwise it is moved into the nearest monitor's work area,
// keeping its size.
#include <cstdint>
#include <optional>
#include <span>

#include "desktop/placement_window.h"

namespace vesk::desktop {

inline constexpr std::int32_t kReachablePart = 32;

// Whether enough of `window` lies on one of the monitors.
[[nodiscard]] bool IsReachable(const TRect& window, std::span<const TRect> monitors) noexcept;

// The top-left corner that puts `window` (keeping its size) inside
// `work_area`; where the window is larger than the area, its left or top
// edge goes to the area's.
[[nodiscard]] TPoint PositionInside(const TRect& window, const TRect& work_area) noexcept;

// The corner to move the window to, or nothing when it is reachable where
// it is.
[[nodiscard]] std::optional<TPoint> RescuePosition(const IPlacementWindow& window);

}  // namespace vesk::desktop
