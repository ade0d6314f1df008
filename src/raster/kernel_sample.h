#pragma once
// Small pieces shared by the kernel resampler's per-sample and run forms.
#include <cmath>
#include <cstdint>

#include "raster/color32.h"

namespace vesk::raster {

// Ceil(v) for |v| < 2^30; false for values beyond (no bitmap reaches them)
// and for NaN.
[[nodiscard]] inline bool CeilToInt(float v, std::int32_t& out) noexcept {
  if (!(v > -1073741824.0f && v < 1073741824.0f)) return false;
  out = static_cast<std::int32_t>(std::ceil(v));
  return true;
}

// The four channel sums of a convolution, B, G, R, A. They are kept in 64
// bits and cut to 32 bits at the end, which gives exactly the values of
// 32-bit two's complement accumulation in any order.
struct TKernelSums {
  std::int64_t c[4] = {0, 0, 0, 0};

  // c += w * channel of pixel.
  void Add(TColor32 pixel, std::int32_t w) noexcept {
    for (int k = 0; k < 4; ++k) c[k] += static_cast<std::int64_t>(w) * ((pixel >> (8 * k)) & 0xFFu);
  }
  // c += w * h (a row's sums weighted by the row's weight), cut to 32 bits
  // as the 32-bit product would be.
  void AddScaled(const TKernelSums& h, std::int32_t w) noexcept {
    for (int k = 0; k < 4; ++k) {
      c[k] += static_cast<std::int32_t>(static_cast<std::uint32_t>(h.c[k]) * static_cast<std::uint32_t>(w));
    }
  }

  // Each channel: (32-bit sum >> 16, arithmetic, no rounding offset) as a
  // signed 16-bit number, clamped to 0 .. 255 when range_check is set, else
  // its low 8 bits.
  [[nodiscard]] TColor32 Pack(bool range_check) const noexcept {
    TColor32 out = 0;
    for (int k = 0; k < 4; ++k) {
      const auto sum = static_cast<std::int32_t>(static_cast<std::uint32_t>(c[k]));
      const auto v = static_cast<std::int16_t>(sum >> 16);
      const std::uint32_t byte = range_check ? static_cast<std::uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v))
                                             : (static_cast<std::uint32_t>(v) & 0xFFu);
      out |= byte << (8 * k);
    }
    return out;
  }
};

}  // namespace vesk::raster
