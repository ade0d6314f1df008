#pragma once
// 16.16 fixed point. TFixed is a signed 32-bit number with 16 fraction bits.
#include <cmath>
#include <cstdint>

#include "base/geometry.h"

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

[[nodiscard]] constexpr std::int32_t FixedFloor(TFixed a) noexcept { return a >> 16; }

[[nodiscard]] constexpr TFixed IntToFixed(std::int32_t i) noexcept {
  return static_cast<TFixed>(static_cast<std::uint32_t>(i) << 16);
}

// a * b / c with a 64-bit product, rounded to the nearest integer with
// halves away from zero. Like the platform's MulDiv it gives -1 when c is 0
// or the result does not fit in 32 bits.
[[nodiscard]] constexpr std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) noexcept {
  if (c == 0) return -1;
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  const bool negative = (p < 0) != (c < 0);
  const std::uint64_t num = p < 0 ? 0 - static_cast<std::uint64_t>(p) : static_cast<std::uint64_t>(p);
  const std::uint64_t den = c < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(c))
                                  : static_cast<std::uint64_t>(c);
  // (2|p| + |c|) / (2|c|) = floor(|p|/|c| + 1/2); |p| <= 2^62 keeps it in range.
  const std::uint64_t q = (2 * num + den) / (2 * den);
  if (q > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return -1;
  return negative ? static_cast<std::int32_t>(0 - q) : static_cast<std::int32_t>(q);
}

static_assert(FixedRound(FixedOne + FixedHalf) == 1);
static_assert(MulDiv(192, 65536, 192) == 65536 && MulDiv(1, 65536, 3) == 21845);
static_assert(MulDiv(3, 1, 2) == 2 && MulDiv(-3, 1, 2) == -2 && MulDiv(5, 1, 2) == 3);
static_assert(MulDiv(1, 1, 0) == -1 && MulDiv(65536, 65536, 1) == -1);
static_assert(FixedRound(-(FixedOne + FixedHalf)) == -2);
static_assert(FixedMul(3 * FixedOne, FixedHalf) == FixedOne + FixedHalf);
static_assert(FixedMul(-FixedOne, 1) == -1);

}  // namespace vesk::raster
