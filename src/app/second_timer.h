#pragma once
// When Timer1 ticks: once a second, just after the local clock's second
// boundary. Each tick arms the timer for the next boundary from the last
// clock reading it made, so a tick that came early (still the old second)
// waits out the remainder, and a late one is followed by a tick at the next
// boundary, not one period after itself.
#include <cstdint>

#include "app/clock_source.h"

namespace vesk::app {

// After the boundary, so that a timer rounded to the system's clock
// interrupt cannot fire a little before it.
inline constexpr std::uint32_t kSecondBoundaryMarginMs = 2;
// The first tick after creation: the first face is drawn at once, while the
// fade-in begins.
inline constexpr std::uint32_t kFirstTickMs = 10;

// Milliseconds from the reading `t` to just after the next second boundary
// (kSecondBoundaryMarginMs + 1 .. 1000 + kSecondBoundaryMarginMs).
[[nodiscard]] constexpr std::uint32_t NextSecondDelay(const TLocalTime& t) {
  const auto ms = static_cast<std::uint32_t>(t.Millisecond < 0 ? 0 : t.Millisecond > 999 ? 999 : t.Millisecond);
  return 1000 - ms + kSecondBoundaryMarginMs;
}

}  // namespace vesk::app
