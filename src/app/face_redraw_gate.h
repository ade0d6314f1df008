#pragma once
// Decides, on every Timer1 tick, whether a new face is due: only when the
// second of the year differs from that of the last face drawn (any
// difference: the clock set back redraws too, and so does the change of
// year).
#include <cstdint>
#include <optional>

#include "app/clock_source.h"
#include "app/hand_angles.h"

namespace vesk::app {

class TFaceRedrawGate {
 public:
  explicit TFaceRedrawGate(TClockSource& clock) : clock_(clock) {}

  // Reads the clock twice: the first reading gives the hand angles, the
  // second the second of the year that is compared. Returns the angles when
  // a face is due, nothing otherwise.
  [[nodiscard]] std::optional<THandAngles> BeginTick();

  // After the face has been drawn: reads the clock a third time and records
  // that second as drawn. (A face that took so long that the clock moved on
  // records the next second, which is then not shown.)
  void FaceDrawn();

  // -1 until the first face has been drawn.
  [[nodiscard]] std::int32_t LastSecondOfYear() const { return last_second_of_year_; }
  void Reset() { last_second_of_year_ = -1; }

 private:
  TClockSource& clock_;
  std::int32_t last_second_of_year_ = -1;
};

}  // namespace vesk::app
