#pragma once
// The system's local time (GetLocalTime), the clock of the running program.
#include "app/clock_source.h"

namespace vesk::app::win32 {

class TLocalClockSource final : public TClockSource {
 public:
  [[nodiscard]] TLocalTime Now() override;
};

}  // namespace vesk::app::win32
