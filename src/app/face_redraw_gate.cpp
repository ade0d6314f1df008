#include "app/face_redraw_gate.h"

#include "app/second_of_year.h"

namespace vesk::app {

std::optional<THandAngles> TFaceRedrawGate::BeginTick() {
  const TLocalTime t0 = clock_.Now();
  const auto s = static_cast<std::int32_t>(SecondOfYear(clock_.Now()));
  if (s == last_second_of_year_) return std::nullopt;
  return HandAngles(t0.Hour, t0.Minute, t0.Second);
}

void TFaceRedrawGate::FaceDrawn() { last_second_of_year_ = static_cast<std::int32_t>(SecondOfYear(clock_.Now())); }

}  // namespace vesk::app
