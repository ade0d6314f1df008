#pragma once
// Integer source-over with a constant alpha, one 32-bit pixel (B, G, R, A
// bytes) at a time:
//   Sa' = S.a * k / 255                       (k = SourceConstantAlpha)
//   out.c = S.c * k / 255 + D.c * (255 - Sa') / 255, for all four channels
// Each division by 255 rounds to the nearest integer as (x + 127) / 255;
// there are no ties, since x / 255 is never exactly n + 1/2 for an odd
// divisor. The sum saturates at 255 (only reachable with a source that is not
// premultiplied). Without per-pixel alpha (AlphaFormat 0) the source counts as
// opaque: Sa' = k.
#include <cstdint>

namespace vesk::platform {

[[nodiscard]] constexpr std::uint32_t Div255Round(std::uint32_t x) noexcept { return (x + 127) / 255; }

[[nodiscard]] constexpr std::uint32_t SourceOverConstant(std::uint32_t s, std::uint32_t d, std::uint32_t k,
                                                         bool per_pixel_alpha) noexcept {
  const std::uint32_t sa = per_pixel_alpha ? Div255Round((s >> 24) * k) : k;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t sc = Div255Round(((s >> shift) & 0xFFu) * k);
    const std::uint32_t dc = Div255Round(((d >> shift) & 0xFFu) * (255 - sa));
    const std::uint32_t c = sc + dc;
    out |= (c > 255 ? 255u : c) << shift;
  }
  return out;
}

// S=(64,64,64,128) over white at k=255 gives (191,191,191,255); over
// (10,20,30,40) it gives (69,74,79,148).
static_assert(SourceOverConstant(0x80404040u, 0xFFFFFFFFu, 255, true) == 0xFFBFBFBFu);
static_assert(SourceOverConstant(0x80404040u, 0x280A141Eu, 255, true) == 0x94454A4Fu);
// S=(200,40,40,255) over white at k=128 gives (227,147,147,255).
static_assert(SourceOverConstant(0xFFC82828u, 0xFFFFFFFFu, 128, true) == 0xFFE39393u);

}  // namespace vesk::platform
