#pragma once
// The program's scaled integer arithmetic: a * b / c with a 64-bit product,
// rounded as each use needs. Pixel sizes at a display scale, font heights
// from points, the image control's view scale and a window's point kept
// under the cursor all come from here.
#include <cstdint>

namespace vesk {

// Rounded to the nearest integer with halves away from zero. Like the
// platform's MulDiv it gives -1 when c is 0 or the result does not fit in
// 32 bits.
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

// Rounded up, for a >= 0, b >= 0 and c > 0: the smallest integer not below
// a * b / c (the length that holds a whole scaled image).
[[nodiscard]] constexpr std::int32_t MulDivCeil(std::int32_t a, std::int32_t b, std::int32_t c) noexcept {
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  return static_cast<std::int32_t>((p + c - 1) / c);
}

static_assert(MulDiv(192, 65536, 192) == 65536 && MulDiv(1, 65536, 3) == 21845);
static_assert(MulDiv(3, 1, 2) == 2 && MulDiv(-3, 1, 2) == -2 && MulDiv(5, 1, 2) == 3);
static_assert(MulDiv(1, 1, 0) == -1 && MulDiv(65536, 65536, 1) == -1);
static_assert(MulDivCeil(150, 120, 96) == 188 && MulDivCeil(150, 96, 96) == 150);

}  // namespace vesk
