#pragma once
// 16.16 fixed point. TFixed is a signed 32-bit number with 16 fraction bits.
#include <cmath>
#include <cstdint>

#include "base/geometry.h"
#include "base/mul_div.h"

namespace vesk::raster {

using TFixed = std::int32_t;

inline constexpr TFixed FixedOne = 65536;
inline constexpr TFixed FixedHalf = 32768;

struct TFixedPoint {
  TFixed X = 0;
  TFixed Y = 0;
  friend constexpr bool operator==(const TFixedPoint&, const TFixedPoint&) = default;
};

// x rounded to the nearest integer, halves to the even neighbour (the default
// floating-point rounding mode: 0.5 -> 0, 1.5 -> 2, -0.5 -> 0, -1.5 -> -2).
// Values beyond the 32-bit range saturate and NaN gives 0, so the conversion
// is defined for every input.
[[nodiscard]] inline std::int32_t RoundHalfEven(long double x) noexcept {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0L) return INT32_MAX;
  if (x <= -2147483648.0L) return INT32_MIN;
  // llrintl rounds in the current mode (to nearest, ties even) like
  // nearbyintl, as one integer store instead of a save and restore of the
  // floating-point environment; |x| < 2^31 here, so the result fits.
  const long long r = std::llrintl(x);
  return static_cast<std::int32_t>(r < INT32_MIN ? INT32_MIN : (r > INT32_MAX ? INT32_MAX : r));
}

// x * 65536 rounded to the nearest integer, halves to even. Computed in
// extended precision so a single or double argument is scaled exactly;
// saturates like RoundHalfEven.
[[nodiscard]] inline TFixed FloatToFixed(long double x) noexcept {
  return RoundHalfEven(x * 65536.0L);
}

// The 64-bit product shifted right arithmetically by 16 (rounds towards minus
// infinity), truncated to 32 bits.
[[nodiscard]] constexpr TFixed FixedMul(TFixed a, TFixed b) noexcept {
  return static_cast<TFixed>((static_cast<std::int64_t>(a) * b) >> 16);
}

// (a + 32767) >> 16: nearest integer, exact halves round down (1.5 -> 1,
// -1.5 -> -2). Done in 64 bits so values near the top of the range do not
// overflow.
[[nodiscard]] constexpr std::int32_t FixedRound(TFixed a) noexcept {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(a) + 32767) >> 16);
}

[[nodiscard]] constexpr TFixed IntToFixed(std::int32_t i) noexcept {
  return static_cast<TFixed>(static_cast<std::uint32_t>(i) << 16);
}

static_assert(FixedRound(FixedOne + FixedHalf) == 1);
static_assert(FixedRound(-(FixedOne + FixedHalf)) == -2);
static_assert(FixedMul(3 * FixedOne, FixedHalf) == FixedOne + FixedHalf);
static_assert(FixedMul(-FixedOne, 1) == -1);

}  // namespace vesk::raster
