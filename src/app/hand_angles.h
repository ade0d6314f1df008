#pragma once
// The rotation of the three hands for one clock reading.
#include <cstdint>

namespace vesk::app {

// Degrees, positive counter-clockwise, 0 at twelve o'clock. The hands travel
// clockwise, so every angle is zero or negative. The hour angle is not
// reduced: in the afternoon it runs from -360 to -719.5.
struct THandAngles {
  float Hour = 0.0f;
  float Minute = 0.0f;
  float Second = 0.0f;
};

// hour 0..23, minute 0..59, second 0..59. Each angle is computed in extended
// precision, constants applied in this order, and then stored as a single:
//   hour   -((h + m / 60) * 360 / 12)
//   minute -((m + s / 60) * 360 / 60)
//   second -(s * 6)
[[nodiscard]] THandAngles HandAngles(std::int32_t hour, std::int32_t minute, std::int32_t second) noexcept;

}  // namespace vesk::app
