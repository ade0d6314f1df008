#pragma once
// The second of the year: the count that decides when a new face is drawn.
#include <cstdint>

#include "app/clock_source.h"

namespace vesk::app {

// (((d - 1) * 24 + hour) * 60 + minute) * 60 + second, with d the day of the
// year (1 on 1 January). 0 at 1 January 00:00:00, 31,622,399 at 31 December
// 23:59:59 of a leap year. Milliseconds are ignored.
[[nodiscard]] std::uint32_t SecondOfYear(const TLocalTime& t) noexcept;

}  // namespace vesk::app
