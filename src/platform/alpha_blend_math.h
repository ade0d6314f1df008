#pragma once
// Integer source-over with a constant alpha, one 32-bit pixel (B, G, R, A
// bytes) at a time, for all four channels:
//   out.c = S.c * k / 255 + D.c * (1 - S.a * k / 255^2),   k = SourceConstantAlpha
// evaluated over one common denominator,
//   out.c = (S.c * k * 255 + D.c * (65025 - S.a * k)) / 65025,
// rounded to the nearest integer as (x + 32512) / 65025. There are no ties:
// the divisor is odd. So the result is the exact value rounded once (at most
// 1/2 away). It saturates at 255, which only a source that is not
// premultiplied reaches. Without per-pixel alpha (AlphaFormat 0) the source
// counts as opaque: S.a = 255. The largest numerator, 2 * 255^3, fits 32 bits.
#include <cstdint>

namespace vesk::platform {

[[nodiscard]] constexpr std::uint32_t SourceOverConstant(std::uint32_t s, std::uint32_t d, std::uint32_t k,
                                                         bool per_pixel_alpha) noexcept {
  const std::uint32_t sa = per_pixel_alpha ? (s >> 24) : 255u;
  const std::uint32_t keep = 65025u - sa * k;  // 255^2 * (1 - S.a * k / 255^2)
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t x = ((s >> shift) & 0xFFu) * k * 255u + ((d >> shift) & 0xFFu) * keep;
    const std::uint32_t c = (x + 32512u) / 65025u;
    out |= (c > 255u ? 255u : c) << shift;
  }
  return out;
}

// S=(64,64,64,128) over white at k=255 gives (191,191,191,255); over
// (10,20,30,40) it gives (69,74,79,148).
static_assert(SourceOverConstant(0x80404040u, 0xFFFFFFFFu, 255, true) == 0xFFBFBFBFu);
static_assert(SourceOverConstant(0x80404040u, 0x280A141Eu, 255, true) == 0x94454A4Fu);
// S=(200,40,40,255) over white at k=128 gives (227,147,147,255).
static_assert(SourceOverConstant(0xFFC82828u, 0xFFFFFFFFu, 128, true) == 0xFFE39393u);
// Constant alpha 0 leaves the destination as it was.
static_assert(SourceOverConstant(0xFF102030u, 0x12345678u, 0, true) == 0x12345678u);

}  // namespace vesk::platform
