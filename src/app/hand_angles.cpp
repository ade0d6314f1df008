#include "app/hand_angles.h"

namespace vesk::app {

THandAngles HandAngles(std::int32_t hour, std::int32_t minute, std::int32_t second) noexcept {
  const long double h = hour;
  const long double m = minute;
  const long double s = second;
  THandAngles a;
  a.Hour = static_cast<float>(-((h + m / 60.0L) * 360.0L / 12.0L));
  a.Minute = static_cast<float>(-((m + s / 60.0L) * 360.0L / 60.0L));
  a.Second = static_cast<float>(-(s * 6.0L));
  return a;
}

}  // namespace vesk::app
