#pragma once
// Folding a coordinate v into the range [lo, hi] (both inclusive), for reads
// outside a bitmap: clamp to the nearer end, repeat the range, or mirror it
// (each end pixel appears twice at a fold: ... 1 0 | 0 1 2 ... hi | hi hi-1 ...).
// d = hi - lo + 1; / and % truncate towards zero. Arithmetic is 64-bit so
// no v in the 32-bit range overflows. An empty range (hi < lo) gives lo.
#include <cstdint>

#include "raster/modes.h"

namespace vesk::raster {

// lo if v < lo, hi if v > hi, else v.
[[nodiscard]] constexpr std::int32_t WrapClamp(std::int32_t v, std::int32_t lo, std::int32_t hi) noexcept {
  if (hi < lo) return lo;
  return v < lo ? lo : (v > hi ? hi : v);
}

// v < lo: hi + ((v - hi) % d); else lo + ((v - lo) % d).
[[nodiscard]] constexpr std::int32_t WrapRepeat(std::int32_t v, std::int32_t lo, std::int32_t hi) noexcept {
  if (hi < lo) return lo;
  const std::int64_t d = std::int64_t{hi} - lo + 1;
  if (v < lo) return static_cast<std::int32_t>(hi + (std::int64_t{v} - hi) % d);
  return static_cast<std::int32_t>(lo + (std::int64_t{v} - lo) % d);
}

// t := v - hi if v < lo, else v - lo; q := t / d; r := t % d;
// a := r + (hi if v < lo, else lo); the result is a for even q, lo + hi - a
// for odd q.
[[nodiscard]] constexpr std::int32_t WrapMirror(std::int32_t v, std::int32_t lo, std::int32_t hi) noexcept {
  if (hi < lo) return lo;
  const std::int64_t d = std::int64_t{hi} - lo + 1;
  const bool below = v < lo;
  const std::int64_t t = std::int64_t{v} - (below ? hi : lo);
  const std::int64_t q = t / d;
  const std::int64_t a = t % d + (below ? hi : lo);
  return static_cast<std::int32_t>(q % 2 == 0 ? a : std::int64_t{lo} + hi - a);
}

[[nodiscard]] constexpr std::int32_t WrapCoordinate(TWrapMode mode, std::int32_t v, std::int32_t lo,
                                                    std::int32_t hi) noexcept {
  switch (mode) {
    case wmRepeat: return WrapRepeat(v, lo, hi);
    case wmMirror: return WrapMirror(v, lo, hi);
    case wmClamp:
    default: return WrapClamp(v, lo, hi);
  }
}

static_assert(WrapRepeat(-1, 0, 9) == 9 && WrapRepeat(10, 0, 9) == 0 && WrapRepeat(-10, 0, 9) == 0);
static_assert(WrapMirror(-1, 0, 9) == 0 && WrapMirror(10, 0, 9) == 9 && WrapMirror(-11, 0, 9) == 9);
static_assert(WrapClamp(-3, 2, 5) == 2 && WrapClamp(7, 2, 5) == 5);

}  // namespace vesk::raster
