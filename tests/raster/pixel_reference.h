#pragma once
// Plainly written reference formulas for the pixel tests: one channel at a
// time, in ordinary integer or floating-point arithmetic, without the packed
// two-lanes-per-word tricks or lookup tables of the production code.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "raster/color32.h"

namespace vesk::raster::testing {

inline std::string Hex(TColor32 c) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(c));
  return text;
}

inline std::uint32_t Chan(TColor32 c, int k) { return (c >> (8 * k)) & 0xFFu; }

inline TColor32 FromChannels(const std::uint32_t (&ch)[4]) {
  return ch[0] | (ch[1] << 8) | (ch[2] << 16) | (ch[3] << 24);
}

// Vector mix: (F.c * w + B.c * (256 - w) + 128) div 256 on all four channels.
inline TColor32 RefMix(TColor32 f, TColor32 b, std::uint32_t w) {
  std::uint32_t out[4];
  for (int k = 0; k < 4; ++k) out[k] = (Chan(f, k) * w + Chan(b, k) * (256 - w) + 128) / 256;
  return FromChannels(out);
}

// Scalar weighing: (F.c * w + 128) div 256 + (B.c * (255 - w) + 128) div 256,
// with the alpha channel dropped (0) when colour_only is set.
inline TColor32 RefWeigh(TColor32 f, TColor32 b, std::uint32_t w, bool colour_only = false) {
  std::uint32_t out[4];
  for (int k = 0; k < 4; ++k) {
    out[k] = (Chan(f, k) * w + 128) / 256 + (Chan(b, k) * (255 - w) + 128) / 256;
  }
  if (colour_only) out[3] = 0;
  return FromChannels(out);
}

// round(i * j / 255) and round(255 * i / j) (halves to even: the default
// floating-point rounding of nearbyint), computed in double.
inline std::uint32_t RefProduct(std::uint32_t j, std::uint32_t i) {
  return static_cast<std::uint32_t>(std::nearbyint(static_cast<double>(i) * j / 255.0));
}
inline std::uint32_t RefQuotient(std::uint32_t j, std::uint32_t i) {
  if (j == 0) return 0;
  return static_cast<std::uint32_t>(std::nearbyint(255.0 * i / j)) & 0xFFu;
}

// Merge of two colours, the opaque-background case delegated to blend_opaque
// (the bound BlendPixel of the result set under test).
template <typename BlendOpaque>
TColor32 RefMerge(TColor32 f, TColor32 b, BlendOpaque blend_opaque) {
  const std::uint32_t fa = f >> 24, ba = b >> 24;
  if (fa == 0) return b;
  if (ba == 255) return blend_opaque(f, b) | 0xFF000000u;
  if (fa == 255 || ba == 0) return f;
  const std::uint32_t ra = fa + ba - RefProduct(ba, fa);
  std::uint32_t out[4];
  for (int k = 0; k < 3; ++k) {
    const int bp = static_cast<int>(RefProduct(ba, Chan(b, k)));
    const int d = static_cast<int>(Chan(f, k)) - bp;
    const int x = d >= 0 ? bp + static_cast<int>(RefProduct(fa, d))
                         : bp - static_cast<int>(RefProduct(fa, -d));
    out[k] = RefQuotient(ra, static_cast<std::uint32_t>(x));
  }
  out[3] = ra;
  return FromChannels(out);
}

inline TColor32 WithAlpha(TColor32 c, std::uint32_t a) { return (c & 0x00FFFFFFu) | (a << 24); }

// A small deterministic generator (splitmix64), independent of the standard
// library's distributions.
class TestRng {
 public:
  explicit TestRng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint32_t Next32() { return static_cast<std::uint32_t>(Next() >> 32); }
  // A pixel whose alpha is transparent, opaque or translucent about equally
  // often, like skin images with large clear and solid areas.
  TColor32 SkinPixel() {
    const std::uint32_t r = Next32();
    switch (r % 3) {
      case 0: return r & 0x00FFFFFFu;
      case 1: return r | 0xFF000000u;
      default: return r;
    }
  }

 private:
  std::uint64_t state_;
};

// Colour pairs (RGB only) for the alpha-pair sweeps: extremes, mid-values
// and channels that differ in every direction.
inline constexpr TColor32 kSweepColours[][2] = {
    {0x000000, 0x000000}, {0xFFFFFF, 0x000000}, {0x000000, 0xFFFFFF}, {0xFFFFFF, 0xFFFFFF},
    {0x123456, 0xFEDCBA}, {0x80FF01, 0x7F00FE}, {0x010203, 0xFDFEFF}, {0xC0A080, 0x406020},
};

}  // namespace vesk::raster::testing
